// The program's one application object, built before WinMain runs.
#include "ui/counter_app.h"

CCounterApp theApp;
