#pragma once

// How long a test waits for something it expects to happen: a dialog to close, a worker to end,
// the printer to notice a closed descriptor. Only a fault comes near it; a slow or busy machine
// makes a test slower, never red.
constexpr int kEventTimeoutMs = 30000;
