#pragma once

#include "fx/ParticleSystem.hpp"
#include "fx/Random.hpp"
#include "runtime/MainLoop.hpp"
#include "runtime/Resources.hpp"
#include "scenes/PopSprite.hpp"
#include "scenes/ShaderBouncer.hpp"

#include <any>
#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

/// Everything that changes while the demo plays, in one value: the frame loop's own state, the
/// random numbers, the objects scenes hand on to each other and each scene's private state.
/// A copy goes on from the same moment; a new one starts the demo from its first frame.
struct DemoState : FrameState
{
    /// Every particle birth draws from here, in the order the scenes update their systems.
    Random random;

    /// The particle systems "star_particles" and "flower_particles" as the scenes play them:
    /// copies of the registry's, empty when the registry lacks one.
    std::optional<ParticleSystem> starParticles;
    std::optional<ParticleSystem> flowerParticles;

    /// The twelve pictures of the cute pictures scene, which the greetings keep animating.
    std::array<PopSprite, 12> popSprites{};
    /// Seconds since the flipping frame picture last flipped; shared by the two scenes that show it.
    float frameTimer = 0.f;
    /// Which of the two frame pictures is shown: false "frame1", true "frame2".
    bool frameToggle = false;
    /// The cute background's clock, sent to the cute shader as "iTime" by scenes 6 and 65.
    float cuteTime = 0.f;

    /// The bubbles, in the order they enter: filled by the bubbles scene, kept by the moire.
    std::vector<ShaderBouncer> shaderBouncers;
    /// Index into shaderBouncers of the bubble the moire scene launches next.
    int nextBouncer = 0;

    /// Sound keys the registry lacks that a scene has already had reported.
    std::set<std::string> reportedSounds;

    /// Each scene's own state by id, set up on the scene's first call (sceneState).
    std::map<SceneId, std::any> scenes;

    /// The state of scene id, made by setUp() on the first call and kept from then on. State
    /// is the scene's own struct; setUp returns one.
    template <class State, class SetUp> State& sceneState(SceneId id, SetUp&& setUp)
    {
        auto found = scenes.find(id);
        if (found == scenes.end())
            found = scenes.emplace(id, std::any(std::forward<SetUp>(setUp)())).first;
        return std::any_cast<State&>(found->second);
    }

    /// The state of scene id, which its update has made (a scene draws only after it).
    template <class State> const State& sceneState(SceneId id) const
    {
        return std::any_cast<const State&>(scenes.at(id));
    }
};

/// The demo as one object: the resources main loaded and the state of one run through them.
struct Demo
{
    /// A demo at its first frame on resources, loaded already by startUp (which must outlive it).
    explicit Demo(Resources& resources);

    Resources& resources;
    DemoState state;

    /// Puts the demo back at its first frame, as if the program had just started: the
    /// resources rewound (Resources::rewind) and a new state.
    void reset();
};

/// A state at the demo's first frame on resources: the particle systems copied from the registry.
DemoState firstState(const Resources& resources);

/// runFrame on the demo's own frame state and resources.
inline FrameResult runFrame(Demo& demo, sf::RenderWindow& window, float frameSeconds, KeyState keys,
                            const SceneTable& scenes, const std::function<void()>& beforeDisplay = {},
                            FrameDrawing drawing = FrameDrawing::drawn, const EventFilter& takeEvent = {})
{
    return runFrame(demo, demo.state, demo.resources, window, frameSeconds, keys, scenes, beforeDisplay,
                    drawing, takeEvent);
}
