#pragma once

#include "core/ControlsState.h"
#include "core/MonitorState.h"

#include <QLocale>
#include <QStringList>

// The HPU status frame (00 12 10 07, 11 bytes): oil pressure, operating mode, pitch
// correction and the pitch design byte that picks the captions of the two HPU buttons.
//
// Pression, ModeHPU, Pitch from state.TrameBuffer. Unlisted mode or pitch codes keep the
// previous text; the pitch texts are the caption constants' values at the time of the frame.
void decodeHpuStatusFrame(MonitorState& state);

// Shows the HPU rows with their texts, CanvasProp, and the two buttons with the
// PUMP/RELEASE or FEATHER/STOP captions (byte 8 of state.TrameBuffer + ValeurModeCalage).
// The caller asks the window for the gauge repaint.
void showHpuStatus(const MonitorState& state, ControlsState& controls, const QLocale& locale = QLocale());

// Every text decodeHpuStatusFrame writes as ModeHPU ("Manuel", "Auto") and as Pitch (the
// three pitch-correction captions, looked up now), so the window can size their labels.
QStringList hpuModeTexts();
QStringList pitchCorrectionTexts();
