#include "app/DialogLayout.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<int, 14> FormControls = {
    IDC_LOG_LIST,       IDC_ALBUM_EDIT,    IDC_DESCRIPTION_EDIT,  IDC_FILE_EDIT,     IDC_URL_EDIT,
    IDC_COMMENTS_EDIT,  IDC_ALBUM_LABEL,   IDC_DESCRIPTION_LABEL, IDC_FILE_LABEL,    IDC_URL_LABEL,
    IDC_COMMENTS_LABEL, IDC_BROWSE_BUTTON, IDC_ABOUT_BUTTON,      IDC_UPLOAD_BUTTON,
};

// The controls that edit the job; they lock once a login has brought a token.
constexpr std::array<int, 6> JobEditors = {
    IDC_ALBUM_EDIT, IDC_DESCRIPTION_EDIT, IDC_FILE_EDIT, IDC_URL_EDIT, IDC_COMMENTS_EDIT, IDC_BROWSE_BUTTON,
};

Rect RectOf(const ControlRects& rects, int id)
{
    const auto found = rects.find(id);
    return found == rects.end() ? Rect{} : found->second;
}

void MoveRightEdge(Rect& rect, int right) { rect.right = right; }

void MoveKeepingSize(Rect& rect, int left, int top)
{
    const int width = rect.Width();
    const int height = rect.Height();
    rect = Rect::FromSize(left, top, width, height);
}

// Below the form's natural size the computed edges cross; a control is then given no
// room at all rather than a negative size, which the toolkit cannot take.
void ClampToEmpty(Rect& rect)
{
    rect.right = std::max(rect.right, rect.left);
    rect.bottom = std::max(rect.bottom, rect.top);
}

bool HasUnattendedBox(const LayoutState& state)
{
    return state.windowX != 0 && state.windowY != 0 && state.windowWidth > 0 && state.windowHeight > 0;
}

Rect UnattendedBrowserRect(const Rect& client, const LayoutState& state)
{
    if (!HasUnattendedBox(state))
        return client;
    return {state.windowX, state.windowY, state.windowX + state.windowWidth + 1,
            state.windowY + state.windowHeight + 1};
}

void LayOutForm(const Rect& client, int margin, ControlPlacements& placements, bool editable)
{
    for (int id : JobEditors)
        placements[id].enabled = editable;

    const int uploadTop = placements[IDC_UPLOAD_BUTTON].rect.top;
    Rect& list = placements[IDC_LOG_LIST].rect;
    list = {margin, placements[IDC_COMMENTS_EDIT].rect.bottom + margin, client.right - margin, uploadTop - margin};

    for (int id : {IDC_ALBUM_EDIT, IDC_DESCRIPTION_EDIT, IDC_URL_EDIT, IDC_COMMENTS_EDIT})
        MoveRightEdge(placements[id].rect, client.right - margin);

    Rect& browse = placements[IDC_BROWSE_BUTTON].rect;
    MoveKeepingSize(browse, client.right - margin - browse.Width(), browse.top);
    MoveRightEdge(placements[IDC_FILE_EDIT].rect, browse.left - margin / 2);

    // A control squeezed to nothing is hidden: an empty list box still draws its frame.
    for (auto& [id, placement] : placements) {
        ClampToEmpty(placement.rect);
        if (IsFormControl(id) && (placement.rect.Width() == 0 || placement.rect.Height() == 0))
            placement.visible = false;
    }
}

}  // namespace

bool IsFormControl(int id)
{
    for (int formId : FormControls) {
        if (formId == id)
            return true;
    }
    return false;
}

ControlPlacements LayOutControls(const Rect& client, const ControlRects& current, const LayoutState& state)
{
    ControlPlacements placements;
    for (const auto& [id, rect] : current)
        placements[id].rect = rect;
    const int margin = RectOf(current, IDC_ALBUM_EDIT).top;

    Rect& upload = placements[IDC_UPLOAD_BUTTON].rect;
    MoveKeepingSize(upload, client.right - margin - upload.Width(), client.bottom - margin - upload.Height());
    Rect& about = placements[IDC_ABOUT_BUTTON].rect;
    MoveKeepingSize(about, margin, client.bottom - margin - about.Height());

    const bool formShown = state.interactive && !state.loginPending;
    for (auto& [id, placement] : placements)
        placement.visible = IsFormControl(id) ? formShown : !formShown;

    ControlPlacement& browser = placements[IDC_LOGIN_BROWSER];
    if (!state.interactive)
        browser.rect = UnattendedBrowserRect(client, state);
    else if (state.loginPending)
        browser.rect = client;
    else
        LayOutForm(client, margin, placements, !state.hasAccessToken);
    for (auto& [id, placement] : placements)
        ClampToEmpty(placement.rect);
    return placements;
}

void CentreBrowserBox(UploadJob& job, const Rect& client)
{
    if (job.windowWidth >= client.Width() || job.windowHeight >= client.Height())
        return;
    job.windowX = (client.right - job.windowWidth - client.left) / 2 + client.left;
    job.windowY = (client.bottom - job.windowHeight - client.top) / 2 + client.top;
}
