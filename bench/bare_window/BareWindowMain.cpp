#include "BareWindowApplication.h"

START_JUCE_APPLICATION (BareWindowApplication)
