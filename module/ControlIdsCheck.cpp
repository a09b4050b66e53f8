// The control ids published to hosts (toolwindows/ControlIds.h) against the templates' own: the
// module does not build when one of them changes without the other.
#include <windows.h>

#include <toolwindows/ControlIds.h>

#include "../resources/resource.h"

#define SAME_ID(published, ours) static_assert(toolwindows::ids::published == (ours), #published " is not " #ours)

SAME_ID(setup::kUpdate, IDOK);
SAME_ID(setup::kSave, IDCANCEL);
SAME_ID(setup::kMembraneGap, IDC_MEMBRANE_GAP);
SAME_ID(setup::kSpritesScale, IDC_SPRITES_SCALE);
SAME_ID(setup::kSpritesSmall, IDC_SPRITES_SMALL);
SAME_ID(setup::kMaxSprites, IDC_MAX_SPRITES);
SAME_ID(setup::kRefractScale, IDC_REFRACTSCALE);
SAME_ID(setup::kTransLatency, IDC_TRANS_LATENCY);
SAME_ID(setup::kTransDuration, IDC_TRANS_DURATION);
SAME_ID(setup::kTransAttractor, IDC_TRANS_ATTRACTOR);
SAME_ID(setup::kVolumeDuration, IDC_VOLUMEDURATION);
SAME_ID(setup::kMaxVolume, IDC_MAXVOLUME);
SAME_ID(setup::kLifetime, IDC_LIFETIME);
SAME_ID(setup::kFadeDuration, IDC_FADE_DURATION);
SAME_ID(setup::kInflateDuration, IDC_INFLATE_DURATION);
SAME_ID(setup::kTauReac0, IDC_TAU_REAC_0);
SAME_ID(setup::kTauReac1, IDC_TAU_REAC_1);
SAME_ID(setup::kTauReac2, IDC_TAU_REAC_2);
SAME_ID(setup::kSpritesRepulse, IDC_SPRITES_REPULSE);
SAME_ID(setup::kTransThreshold, IDC_TRANS_THRESHOLD);
SAME_ID(setup::kTransDelayNear, IDC_TRANS_DELAY_NEAR);
SAME_ID(setup::kFadeMbrDuration, IDC_FADEMBR_DURATION);
SAME_ID(setup::kTransLatency2, IDC_TRANS_LATENCY2);
SAME_ID(setup::kTransThresholdMax, IDC_TRANS_THRESHOLDMAX);
SAME_ID(setup::kNoActTimeout, IDC_NOACT_TIMEOUT);
SAME_ID(setup::kPhaseSpeed, IDC_PHASE_SPEED);
SAME_ID(setup::kPhaseAmp, IDC_PHASE_AMP);
SAME_ID(setup::kPhaseFreq, IDC_PHASE_FREQ);
SAME_ID(setup::kMbrTau, IDC_MBR_TAU);
SAME_ID(setup::kCullback, IDC_CULLBACK);
SAME_ID(setup::kTrackersMinSz, IDC_TRACKERS_MINSZ);
SAME_ID(setup::kTrackersMaxSz, IDC_TRACKERS_MAXSZ);
SAME_ID(setup::kTrackersMinDens, IDC_TRACKERS_MINDENS);
SAME_ID(setup::kTrackersMaxDens, IDC_TRACKERS_MAXDENS);
SAME_ID(setup::kTrackersNearZ, IDC_TRACKERS_NEARZ);
SAME_ID(setup::kSocketFreq, IDC_SOCKETFREQ);
SAME_ID(setup::kTrackersFarZ, IDC_TRACKERS_FARZ);
SAME_ID(setup::kTrackersAmplitudeY, IDC_TRACKERS_AMPLITUDEY);
SAME_ID(setup::kTrackersFrequenceY, IDC_TRACKERS_FREQUENCEY);
SAME_ID(setup::kTransDelayFar, IDC_TRANS_DELAY_FAR);
SAME_ID(setup::kBumpMap, IDC_BUMP_MAP);
SAME_ID(setup::kCubeMap, IDC_CUBE_MAP);
SAME_ID(setup::kLightDirY, IDC_LIGHTDIR_Y);
SAME_ID(setup::kLightExp, IDC_LIGHTEXP);
SAME_ID(setup::kBumpFact, IDC_BUMPFACT);
SAME_ID(setup::kLightDirX, IDC_LIGHTDIR_X);
SAME_ID(setup::kTwoSides, IDC_TWO_SIDES);
SAME_ID(setup::kDefinitionGroup, IDC_DEFINITION_GROUP);
SAME_ID(setup::kNextDefinition, IDC_NEXT_DEFINITION);
SAME_ID(setup::kPreviousDefinition, IDC_PREVIOUS_DEFINITION);

SAME_ID(sensors::kUpdate, IDC_CAPTEURS_UPDATE);
SAME_ID(sensors::kFrame, IDC_CAPTEURS_FRAME);
SAME_ID(sensors::kMouseSimul, IDC_MOUSE_SIMUL);

// A host reaches box N as kSlave1 + N - 1: the module's ids must run on without a gap.
SAME_ID(slaves::kSlave1, IDC_SLAVE_1);
SAME_ID(slaves::kSlave1 + 1, IDC_SLAVE_2);
SAME_ID(slaves::kSlave1 + 2, IDC_SLAVE_3);
SAME_ID(slaves::kSlave1 + 3, IDC_SLAVE_4);
SAME_ID(slaves::kSlave1 + 4, IDC_SLAVE_5);
SAME_ID(slaves::kSlave1 + 5, IDC_SLAVE_6);
SAME_ID(slaves::kSlave1 + 6, IDC_SLAVE_7);

SAME_ID(log::kList, IDC_LOG_LIST);
SAME_ID(profiling::kList, IDC_PROFILING_LIST);
SAME_ID(profiling::kFrameRate, IDC_PROFILING_FRAMERATE);
SAME_ID(progress::kBar, IDC_PROGRESS_BAR);
SAME_ID(progress::kPercent, IDC_PROGRESS_PERCENT);
SAME_ID(progress::kMessage, IDC_PROGRESS_MESSAGE);
