// tovalen.exe: finds network cameras and changes their addresses across
// subnets; computes recording disk sizes. The program takes no arguments.
#include <windows.h>

#include "win32/application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return win32::runApplication(instance); }
