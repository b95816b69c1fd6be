#pragma once

#include <QtGlobal>

// How a window was opened, told by the window that opened it. Zero at start,
// never stored.

// 0 = not opened yet, 1 = report window opened for a new record, 2 = for a stored record.
extern qint32 ReportMode;
// Which window opened the department picker: 0 not yet, 1 registration, 2 query.
extern qint32 PickerCaller;
// 0 = the next phrase goes to the findings, 1 = to the opinion.
extern qint32 PhraseTarget;
// Settings pages: 0 = no edit in progress, 1 = adding, 2 = modifying.
extern qint32 SettingsEditMode;
