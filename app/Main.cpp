#include "qv_installerApplication.h"

START_JUCE_APPLICATION (qv_installerApplication)
