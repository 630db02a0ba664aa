#pragma once
// How the browser's pages are drawn.

// Pages are drawn without GPU compositing. A login page gains nothing from it, and on a
// booth without a GPU, or under Xvfb, WebKit composites through a software GL: about
// 70 MiB more for every guest's browser and a slower start. WebKit reads the choice
// from the environment when it makes a view, so this runs in main(), before any thread
// starts (the environment is not thread-safe) and before the first view. An operator's
// own WEBKIT_DISABLE_COMPOSITING_MODE stays as set.
void DrawPagesWithoutCompositing();
