#pragma once

#include "alarms/ConverterAlarms.h"
#include "core/ControlsState.h"
#include "core/MonitorState.h"

#include <QLocale>

// What the values page shows, computed in one place from the readings in the record and the
// alarm states; nothing else writes these controls.
//
// - Each converter value label shows its masked value (decimal comma where the locale has it)
//   while the value is known, and is hidden while it is not: the -1 marker is never shown.
//   A hidden label keeps its last text.
// - While an HPU status frame is known: the HPU rows with their names and texts, CanvasProp,
//   and both HPU buttons, captioned PUMP/RELEASE or FEATHER/STOP by the last frame's pitch
//   design. All hidden otherwise, captions and texts kept.
// - The three alert rectangles: their design-time fills until the first frame or TimerAlarm;
//   then red for each alarm held while the rows are lit, transparent otherwise.
void showReadings(ControlsState& controls, const MonitorState& state, const AlarmStates& alarms,
                  const QLocale& locale = QLocale());
