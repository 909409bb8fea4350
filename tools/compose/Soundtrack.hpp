#pragma once

#include "Synth.hpp"
#include "runtime/BeatSchedule.hpp"

#include <vector>

/// One audible hit of the soundtrack. Beats that fire on consecutive frames (the frame a scene
/// hands over on and the next scene's first one) share one hit between them, within one frame of
/// both; beats further apart get a hit each.
struct Hit
{
    double time = 0.0;   ///< seconds from the soundtrack's start
    bool grace = false;  ///< the next hit follows closely: this one is its lighter grace note (a flam)
    int sectionBeat = 0; ///< the beat of its bar it was quantised to (0..3), -1 off the beat grid
    bool accent =
        false; ///< a scene change lands here: the new scene's first hit that no other follows closely
};

/// One scene's stretch of the soundtrack, from the hit that starts it (the previous scene's
/// end entry) to its own end entry, measured in sixteenth-note steps.
struct Section
{
    SceneId scene = -1; ///< the scene whose picture this stretch accompanies
    double start = 0.0; ///< seconds
    double end = 0.0;   ///< seconds
    int firstStep = 0;  ///< global sixteenth index of the section's downbeat
    int steps = 0;      ///< length in sixteenths (four per beat)
};

/// Maps the musical grid (sixteenth steps) onto seconds so that every grid position that a
/// hit was quantised to falls exactly on that hit. Between hits time runs linearly.
class TempoMap
{
public:
    /// Builds the sections, the hits and the grid from schedule. beatSeconds is the nominal
    /// beat length the tables were tapped at; each section gets the whole number of beats
    /// closest to its length.
    TempoMap(const DemoSchedule& schedule, double beatSeconds);

    /// Seconds at global sixteenth step (fractions interpolate; beyond the ends the nominal
    /// tempo continues).
    double time(double step) const;

    /// One section per scene, in playing order.
    const std::vector<Section>& sections() const { return sectionList; }
    /// Every audible hit, in time order.
    const std::vector<Hit>& hits() const { return hitList; }

private:
    struct Anchor
    {
        double step;
        double time;
    };
    std::vector<Anchor> anchors;
    std::vector<Section> sectionList;
    std::vector<Hit> hitList;
    double stepSeconds;
};

/// A hit followed by another within this time becomes that one's grace note.
constexpr double graceSeconds = 0.12;

/// The quiet that a riser or a reverse cymbal leaves before the hit it leads into, so that the
/// hit's attack stands out of silence rather than out of the swell's loudest moment.
constexpr double breathSeconds = 0.02;

/// Composes the whole soundtrack on schedule: hits on every beat, the arrangement around
/// them, the rest in the finale's beatless stretch and the closing fade. The result covers
/// the demo's last frame plus tailSeconds of silence. Deterministic: no outside input.
StereoBuffer composeSoundtrack(const DemoSchedule& schedule, double tailSeconds);

/// The "bounce" effect: a short springy hit, mono.
std::vector<float> composeBounce();

/// The "static" effect: about a second of TV noise, mono.
std::vector<float> composeStatic();
