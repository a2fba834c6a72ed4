#include "console/tavFader.h"

#include "core/TAV.h"

tavFader::tavFader(TAV* o) : owner(o), valid(o != nullptr) {}
void tavFader::Restore() {}
void tavFader::Invalidate() {}
void tavFader::Destroy() {}
