#include "browser/WebRendering.h"

#include <cstdlib>

void DrawPagesWithoutCompositing() { ::setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 0); }
