#pragma once
// Where the main window's controls go, worked out from the client size, the controls'
// current rectangles and the dialog's state alone, so that the window toolkit only
// applies the result.

#include "app/DialogGeometry.h"
#include "app/DialogTemplate.h"
#include "app/UploadJob.h"

#include <map>
#include <optional>

struct LayoutState {
    bool interactive = true;
    bool loginPending = false;
    bool hasAccessToken = false;
    // The login browser's box in unattended mode (after centring).
    int windowX = 0;
    int windowY = 0;
    int windowWidth = 0;
    int windowHeight = 0;
};

struct ControlPlacement {
    Rect rect;
    bool visible = true;
    std::optional<bool> enabled;  // empty: leave as it is
};

using ControlPlacements = std::map<int, ControlPlacement>;

// One placement for every control in `current` (the login browser's window under
// IDC_LOGIN_BROWSER). The margin is the top edge of the album-name edit.
ControlPlacements LayOutControls(const Rect& client, const ControlRects& current, const LayoutState& state);

// The fourteen form controls that are shown and hidden together.
bool IsFormControl(int id);

// Unattended mode: centres the browser box in the client area when it fits into it
// both ways; otherwise its position stays the command line's, now read inside the
// client area.
void CentreBrowserBox(UploadJob& job, const Rect& client);

// The window cannot be made smaller than this.
inline constexpr Size MinimumTrackingSize{300, 300};
