#pragma once

#include "core/MonitorState.h"
#include "core/Readings.h"

#include <QStringList>

// The HPU status frame (00 12 10 07, 11 bytes): oil pressure, operating mode, pitch
// correction and the pitch design byte that picks the captions of the two HPU buttons.
//
// Unlisted mode or pitch codes are left empty (the previous text stays); the pitch texts are
// the caption constants' values at the time of the frame.
HpuReading decodeHpuStatusFrame(const ByteArray41& frame);

// Every text decodeHpuStatusFrame gives as ModeHPU ("Manuel", "Auto") and as Pitch (the
// three pitch-correction captions, looked up now), so the window can size their labels.
QStringList hpuModeTexts();
QStringList pitchCorrectionTexts();
