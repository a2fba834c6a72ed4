// Reports of the physics outside Windows: standard error.

#include "tavPhysics.h"

#include <cstdio>

void tavPhysics::ReportText(const char* text, void*) { std::fputs(text, stderr); }
