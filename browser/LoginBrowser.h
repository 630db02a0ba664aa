#pragma once
// The one place that picks the login browser's backend for this build: wx's web view on
// WebKitGTK on Linux, on the WebBrowser control (its IE backend) on Windows. An Edge
// (WebView2) backend, where its SDK is at hand, would be one more case here. Each offers
// the same surface: the EmbeddedBrowser interface, and View() for the layout.

#ifdef _WIN32
#include "browser/IeBrowser.h"
using LoginBrowser = IeBrowser;
#else
#include "browser/WebKitBrowser.h"
using LoginBrowser = WebKitBrowser;
#endif
