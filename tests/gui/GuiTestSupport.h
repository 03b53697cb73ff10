#pragma once

// Everything the component tests share.
#include "LinkRecorder.h"
#include "MessageLoop.h"
#include "OnScreenMain.h"
#include "PixelChecks.h"
#include "RealMouse.h"
#include "RepaintProbe.h"
