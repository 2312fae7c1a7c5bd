// What the process brings up before anything else: the executable's location,
// the 68K arena and the fault handler. The program and every test binary call it.
#pragma once

void HostStartup(const char* argv0);
