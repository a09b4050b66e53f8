// The control ids of the windows' templates, for a host (or its tests) that reaches a window's
// controls through Win32: GetDlgItem(window, toolwindows::ids::log::kList). The window a Create
// made is found with hostkit::NewOwnedWindow (hostkit/ThreadWindows.h). The module's own resource
// ids are checked against these when it compiles. C++11.
#pragma once

namespace toolwindows {
namespace ids {

// "Global Setup  helper" (SetupParams)
namespace setup {
constexpr int kUpdate = 1;  // the dialog's OK command: Enter presses it too
constexpr int kSave = 2;    // its cancel command: Escape presses it too

// The global parameters
constexpr int kMembraneGap = 2009;
constexpr int kSpritesScale = 2010;
constexpr int kSpritesSmall = 2011;
constexpr int kMaxSprites = 2012;
constexpr int kRefractScale = 2018;
constexpr int kTransLatency = 2019;
constexpr int kTransDuration = 2021;
constexpr int kTransAttractor = 2023;
constexpr int kVolumeDuration = 2024;
constexpr int kMaxVolume = 2025;
constexpr int kLifetime = 2026;
constexpr int kFadeDuration = 2027;
constexpr int kInflateDuration = 2028;
constexpr int kTauReac0 = 2030;
constexpr int kTauReac1 = 2031;
constexpr int kTauReac2 = 2032;
constexpr int kSpritesRepulse = 2033;
constexpr int kTransThreshold = 2034;
constexpr int kTransDelayNear = 2035;
constexpr int kFadeMbrDuration = 2036;
constexpr int kTransLatency2 = 2039;
constexpr int kTransThresholdMax = 2040;
constexpr int kNoActTimeout = 2041;
constexpr int kPhaseSpeed = 2042;
constexpr int kPhaseAmp = 2043;
constexpr int kPhaseFreq = 2044;
constexpr int kMbrTau = 2045;
constexpr int kCullback = 2046;
constexpr int kTrackersMinSz = 2047;
constexpr int kTrackersMaxSz = 2048;
constexpr int kTrackersMinDens = 2049;
constexpr int kTrackersMaxDens = 2050;
constexpr int kTrackersNearZ = 2051;
constexpr int kSocketFreq = 2052;
constexpr int kTrackersFarZ = 2053;
constexpr int kTrackersAmplitudeY = 2054;
constexpr int kTrackersFrequenceY = 2055;
constexpr int kTransDelayFar = 2056;

// The membrane definition browser ("Membrane related")
constexpr int kBumpMap = 2013;
constexpr int kCubeMap = 2014;
constexpr int kLightDirY = 2015;  // the left box: component 1 of "lightdir"
constexpr int kLightExp = 2016;
constexpr int kBumpFact = 2017;
constexpr int kLightDirX = 2020;  // the right box: component 0
constexpr int kTwoSides = 2022;
constexpr int kDefinitionGroup = 2029;
constexpr int kNextDefinition = 2037;
constexpr int kPreviousDefinition = 2038;
}  // namespace setup

// "Capteurs" (DlgCapteurs)
namespace sensors {
constexpr int kUpdate = 2027;
constexpr int kFrame = 2028;  // the black frame the host draws on
constexpr int kMouseSimul = 2038;
}  // namespace sensors

// "Slaves" (DlgSlavesStates): box N is kSlave1 + N - 1
namespace slaves {
constexpr int kSlave1 = 2039;
}  // namespace slaves

// "Log Window" (dlglog)
namespace log {
constexpr int kList = 2000;
}  // namespace log

// The client profiling window (dlgprofiling)
namespace profiling {
constexpr int kList = 2000;
constexpr int kFrameRate = 2005;
}  // namespace profiling

// The progress window (progressbar)
namespace progress {
constexpr int kBar = 2002;
constexpr int kPercent = 2003;
constexpr int kMessage = 2004;
}  // namespace progress

}  // namespace ids
}  // namespace toolwindows
