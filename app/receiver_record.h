#pragma once
// The one receiver record, process-wide and never freed. It is composed of the state
// records that each subsystem declares for itself, so that the signal path, the audio
// callback and the recorder each see only their own part.
#include "dsp/receive_mode.h"
#include "dsp/signal_state.h"
#include "record/wave_handoff.h"

struct receiver_record : receive_mode_state, signal_state, wave_handoff {};

extern receiver_record data_origin;
