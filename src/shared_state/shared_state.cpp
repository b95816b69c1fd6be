#include "shared_state/shared_state.h"

qint32 ReportMode = 0;
qint32 PickerCaller = 0;
qint32 PhraseTarget = 0;
qint32 SettingsEditMode = 0;
