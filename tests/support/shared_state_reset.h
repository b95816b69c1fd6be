#pragma once

#include "shared_state/shared_state.h"

// Every window test starts as the program does: all four at zero.
inline void resetSharedState()
{
    ReportMode = PickerCaller = PhraseTarget = SettingsEditMode = 0;
}
