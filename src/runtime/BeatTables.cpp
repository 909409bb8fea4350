#include "runtime/BeatTables.hpp"

#include <iostream>
#include <map>

namespace
{
// The times were tapped against the soundtrack's audio, so they are kept exactly as tapped,
// in the order the scenes list them (not always rising), including the odd start clocks that
// line the picture up with the audible hits.
std::vector<SceneSchedule> makeSchedules()
{
    std::vector<SceneSchedule> chain;

    // Scene 2, title words on the beat: one word per entry 0..9, entry 10 hands over
    // before anything is drawn.
    chain.push_back({2,
                     {{0.0f, 0.16f, 0.48f, 0.8f, 1.05f, 1.45f, 1.75f, 2.0f, 2.27f, 2.58f, 2.9215f}, 0.0f},
                     10,
                     false,
                     {},
                     -1,
                     0.0f});

    // Scene 3, wobbling presentation card: the laser flares on entries 0..28, entry 29
    // hands over before drawing.
    chain.push_back({3,
                     {{0.0f,     0.354481f, 0.708607f, 1.08141f, 1.45379f, 1.80873f, 2.17978f, 2.56907f,
                       2.77153f, 2.9556f,   3.30762f,  3.67949f, 4.06958f, 4.46034f, 4.83364f, 5.18683f,
                       5.30521f, 5.50758f,  5.62533f,  5.79409f, 5.96357f, 6.31899f, 6.691f,   7.08053f,
                       7.45072f, 7.83993f,  8.19558f,  8.58464f, 8.77126f, 8.98092f},
                      0.0f},
                     29,
                     false,
                     {},
                     -1,
                     0.0f});

    // Scene 4, Julia fractal title words: the clock starts 0.05 s behind the scene and
    // entry 1 lies before entry 0, so entry 1 fires first; entry 11 hands over before drawing.
    chain.push_back({4,
                     {{0.0f, -0.071489f, 0.198742f, 0.470113f, 0.75811f, 0.9616f, 1.16359f, 1.43306f, 1.7044f,
                       1.97564f, 2.26419f, 3.01698f},
                      -0.05f},
                     11,
                     false,
                     {},
                     -1,
                     0.0f});

    // Scene 5, circles pulse and logo: clock 0.05 s behind the scene; entry 34 hands over
    // before drawing.
    chain.push_back(
        {5,
         {{0.0f,     0.355085f, 0.725228f, 0.911823f, 1.46715f, 1.85684f, 2.21287f, 2.41658f, 2.97538f,
           3.36562f, 3.70363f,  3.92196f,  4.46281f,  4.83618f, 5.19175f, 5.41182f, 5.97017f, 6.34306f,
           6.71615f, 6.91726f,  7.45991f,  7.81276f,  8.16874f, 8.40698f, 8.98194f, 9.35136f, 9.72463f,
           9.91115f, 10.2639f,  10.5347f,  10.8224f,  11.109f,  11.4143f, 11.6178f, 11.8204f},
          -0.05f},
         34,
         false,
         {},
         -1,
         0.0f});

    // Scene 6, cute pop-up pictures: clock 0.06 s ahead of the scene; entry 24 hands over
    // to the greetings, and unlike the others this frame is still drawn.
    chain.push_back(
        {6,
         {{0.0f,     0.504801f, 1.09589f, 1.44907f, 2.02535f, 2.60051f, 2.97186f, 3.52884f, 4.10374f,
           4.49281f, 5.03332f,  5.62534f, 5.99574f, 6.55333f, 7.1249f,  7.47904f, 8.0349f,  8.63942f,
           8.97576f, 9.54592f,  10.0863f, 10.4579f, 11.0479f, 11.6538f, 12.0093f},
          0.06f},
         24,
         true,
         {},
         -1,
         0.0f});

    // Scene 65, greetings pulses: clock 0.03 s behind the scene; entries 0..5 start the six
    // greetings, entry 8 hands over before drawing.
    chain.push_back(
        {65,
         {{0.0f, 1.55787f, 2.99695f, 4.53798f, 6.03385f, 7.51669f, 9.0339f, 10.5304f, 12.0405f}, -0.03f},
         8,
         false,
         {},
         -1,
         0.0f});

    // Scene 7, flowers beat scene: entry 34 hands over before drawing.
    chain.push_back(
        {7,
         {{0.0f,     0.386932f, 0.740958f, 1.12518f, 1.51214f, 1.86396f, 2.2497f,  2.63457f, 3.00471f,
           3.37678f, 3.73211f,  4.11994f,  4.17084f, 4.4917f,  4.86071f, 5.23188f, 5.6184f,  6.00294f,
           6.37615f, 6.7394f,   7.14298f,  7.49802f, 7.88004f, 8.26627f, 8.63928f, 8.99544f, 9.36893f,
           9.7402f,  10.1302f,  10.5165f,  10.7699f, 11.0571f, 11.3433f, 11.6138f, 11.982f},
          0.0f},
         34,
         false,
         {},
         -1,
         0.0f});

    // Scene 8, field flight: the flash track ends the scene with entry 40 (before drawing);
    // its image track starts a pulse layer on each entry, and its last entry lies after the
    // end of the scene, so it never fires.
    chain.push_back(
        {8,
         {{0.0f,     0.33924f, 0.712131f, 0.913868f, 1.25293f, 1.45487f, 1.81082f, 2.01396f, 2.38526f,
           2.60598f, 2.94404f, 3.33425f,  3.70766f,  3.8942f,  4.24786f, 4.46752f, 4.80653f, 5.00901f,
           5.38226f, 5.58521f, 5.93974f,  6.32722f,  6.70076f, 6.90312f, 7.25929f, 7.47979f, 7.81917f,
           8.00577f, 8.37917f, 8.58284f,  8.93776f,  9.32751f, 9.69964f, 9.90268f, 10.2409f, 10.4443f,
           10.8008f, 11.0211f, 11.3591f,  11.5798f,  11.9691f},
          0.0f},
         40,
         false,
         {{0.0f, 1.55174f, 3.00423f, 4.51066f, 6.01108f, 7.52638f, 8.99978f, 10.5062f, 12.0398f}, 0.0f},
         -1,
         0.0f});

    // Scene 9, rainbow tunnel: entry 17 hands over before drawing.
    chain.push_back(
        {9,
         {{0.0f, 0.723905f, 1.46638f, 2.21094f, 2.98865f, 3.7157f, 4.4748f, 5.21881f, 5.96461f, 6.72794f,
           7.4724f, 8.25084f, 8.97561f, 9.70167f, 10.4625f, 11.0544f, 11.5805f, 11.9685f},
          0.0f},
         17,
         false,
         {},
         -1,
         0.0f});

    // Scene 10, bubbles: each entry lets one more bubble in; entry 22 hands over before
    // drawing.
    chain.push_back({10,
                     {{0.0f,     0.339064f, 0.406797f, 0.7096f,  0.895515f, 1.25078f, 1.45375f, 1.80892f,
                       2.02948f, 2.38488f,  2.60449f,  2.96051f, 3.34847f,  3.70405f, 3.92151f, 4.2771f,
                       4.47859f, 4.8342f,   5.05259f,  5.39095f, 5.59408f,  5.99971f, 6.03353f},
                      0.0f},
                     22,
                     false,
                     {},
                     -1,
                     0.0f});

    // Scene 11, moire: each entry launches a bubble; entry 35 hands over before drawing.
    chain.push_back(
        {11,
         {{0.0f,     0.350025f, 0.733399f, 1.10018f, 1.46675f, 1.85014f, 2.21687f, 2.60018f, 2.78354f,
           2.98357f, 3.36692f,  3.71697f,  4.10032f, 4.46709f, 4.83369f, 5.20051f, 5.48378f, 5.76711f,
           6.00042f, 6.35064f,  6.73383f,  7.10077f, 7.48416f, 7.85061f, 8.21731f, 8.60065f, 8.80067f,
           8.98407f, 9.35084f,  9.7174f,   10.101f,  10.4841f, 10.8508f, 11.2175f, 11.4342f, 12.0339f},
          0.0f},
         35,
         false,
         {},
         -1,
         0.0f});

    // Scene 12, triangle finale: beats until 11.6788 s, then a stretch without beats;
    // entry 40 starts the four-second closing fade and entry 41 ends the demo before drawing.
    chain.push_back(
        {12,
         {{0.0f,     0.405322f, 0.795178f, 0.979975f, 1.34866f, 1.53513f, 1.90701f, 2.09356f, 2.49572f,
           2.6812f,  3.05304f,  3.42534f,  3.78097f,  3.98397f, 4.37287f, 4.55959f, 4.898f,   5.06562f,
           5.47252f, 5.67597f,  6.08127f,  6.43503f,  6.80754f, 6.99404f, 7.36612f, 7.55254f, 7.90897f,
           8.09446f, 8.48454f,  8.67105f,  9.05916f,  9.4133f,  9.80256f, 9.98807f, 10.3593f, 10.5462f,
           10.9181f, 11.1039f,  11.4764f,  11.6788f,  22.928f,  26.928f},
          0.0f},
         41,
         false,
         {},
         40,
         4.0f});

    return chain;
}
} // namespace

const std::vector<SceneSchedule>& beatSchedules()
{
    static const std::vector<SceneSchedule> schedules = makeSchedules();
    return schedules;
}

const SceneSchedule* findSchedule(SceneId scene)
{
    for (const SceneSchedule& schedule : beatSchedules())
        if (schedule.scene == scene)
            return &schedule;
    return nullptr;
}

const SceneSchedule& scheduleFor(SceneId scene)
{
    if (const SceneSchedule* schedule = findSchedule(scene))
        return *schedule;
    std::cerr << "BeatTables: Scene " << scene << " has no beat schedule." << std::endl;
    // One empty schedule per unknown id, so that its next can name the scene itself.
    static const SceneSchedule empty;
    return empty;
}
