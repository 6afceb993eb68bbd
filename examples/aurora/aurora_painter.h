#pragma once

#include "frame_buffer.h"

// Paints the sky `seconds` after the saver started: black, with curtains of
// coloured light whose lower edges wave and drift slowly across the frame.
void paint_aurora(const PixelFrame& frame, double seconds);
