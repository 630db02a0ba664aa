#include "app/DialogLayout.h"
#include "app/DialogTemplate.h"

#include <gtest/gtest.h>

namespace {

constexpr DialogBaseUnits Base{6, 13};

const ControlRects& TemplatePixels()
{
    static const ControlRects rects = TemplateControlRectsInPixels(Base);
    return rects;
}

Rect TemplateClient()
{
    const Size size = DialogUnitsToPixels(TemplateSize, Base);
    return {0, 0, size.width, size.height};
}

Rect Widened(Rect client, int by) { return {client.left, client.top, client.right + by, client.bottom}; }

LayoutState Interactive() { return LayoutState{}; }

LayoutState Unattended(int x, int y, int width, int height)
{
    LayoutState state;
    state.interactive = false;
    state.loginPending = true;
    state.windowX = x;
    state.windowY = y;
    state.windowWidth = width;
    state.windowHeight = height;
    return state;
}

TEST(DialogLayout, MarginIsTheAlbumEditsTopEdgeInPixels)
{
    // 7 dialog units of a 13-pixel font: 11.375 pixels, rounded.
    EXPECT_EQ(TemplatePixels().at(IDC_ALBUM_EDIT).top, 11);
}

TEST(DialogLayout, WideningByAHundredPixelsMovesWhatFollowsTheRightEdge)
{
    const int margin = 11;
    const Rect narrowClient = TemplateClient();
    const Rect wideClient = Widened(narrowClient, 100);
    const ControlPlacements narrow = LayOutControls(narrowClient, TemplatePixels(), Interactive());
    const ControlPlacements wide = LayOutControls(wideClient, TemplatePixels(), Interactive());

    for (int id : {IDC_ALBUM_EDIT, IDC_DESCRIPTION_EDIT, IDC_URL_EDIT, IDC_COMMENTS_EDIT}) {
        EXPECT_EQ(wide.at(id).rect.right, wideClient.right - margin) << id;
        EXPECT_EQ(wide.at(id).rect.left, narrow.at(id).rect.left) << id;
        EXPECT_EQ(wide.at(id).rect.top, TemplatePixels().at(id).top) << id;
        EXPECT_EQ(wide.at(id).rect.bottom, TemplatePixels().at(id).bottom) << id;
    }
    EXPECT_EQ(wide.at(IDC_LOG_LIST).rect.right, narrow.at(IDC_LOG_LIST).rect.right + 100);
    EXPECT_EQ(wide.at(IDC_BROWSE_BUTTON).rect.left, narrow.at(IDC_BROWSE_BUTTON).rect.left + 100);
    EXPECT_EQ(wide.at(IDC_BROWSE_BUTTON).rect.Width(), TemplatePixels().at(IDC_BROWSE_BUTTON).Width());
    // Half the margin, truncated, between the file edit and the browse button.
    EXPECT_EQ(wide.at(IDC_FILE_EDIT).rect.right, wide.at(IDC_BROWSE_BUTTON).rect.left - 5);

    for (int id :
         {IDC_ALBUM_LABEL, IDC_DESCRIPTION_LABEL, IDC_FILE_LABEL, IDC_URL_LABEL, IDC_COMMENTS_LABEL, IDC_ABOUT_BUTTON})
        EXPECT_EQ(wide.at(id).rect, narrow.at(id).rect) << id;

    const Rect upload = wide.at(IDC_UPLOAD_BUTTON).rect;
    EXPECT_EQ(upload.right, wideClient.right - margin);
    EXPECT_EQ(upload.bottom, wideClient.bottom - margin);
    EXPECT_EQ(upload.Width(), TemplatePixels().at(IDC_UPLOAD_BUTTON).Width());
    EXPECT_EQ(upload.Height(), TemplatePixels().at(IDC_UPLOAD_BUTTON).Height());
}

TEST(DialogLayout, LogListFillsTheSpaceBetweenTheCommentsAndTheButton)
{
    const Rect client{0, 0, 700, 600};
    const ControlPlacements placed = LayOutControls(client, TemplatePixels(), Interactive());
    const Rect list = placed.at(IDC_LOG_LIST).rect;
    EXPECT_EQ(list.left, 11);
    EXPECT_EQ(list.top, TemplatePixels().at(IDC_COMMENTS_EDIT).bottom + 11);
    EXPECT_EQ(list.right, 700 - 11);
    EXPECT_EQ(list.bottom, placed.at(IDC_UPLOAD_BUTTON).rect.top - 11);
    EXPECT_EQ(placed.at(IDC_ABOUT_BUTTON).rect.left, 11);
    EXPECT_EQ(placed.at(IDC_ABOUT_BUTTON).rect.bottom, 600 - 11);
}

TEST(DialogLayout, TheFormShowsAndTheBrowserHidesUntilALoginStarts)
{
    const ControlPlacements placed = LayOutControls(TemplateClient(), TemplatePixels(), Interactive());
    for (const auto& [id, placement] : placed)
        EXPECT_EQ(placement.visible, id != IDC_LOGIN_BROWSER) << id;
    EXPECT_EQ(placed.at(IDC_FILE_EDIT).enabled, true);
    EXPECT_EQ(placed.at(IDC_BROWSE_BUTTON).enabled, true);
    EXPECT_FALSE(placed.at(IDC_UPLOAD_BUTTON).enabled.has_value());
}

TEST(DialogLayout, WhileTheLoginIsPendingTheBrowserTakesTheWholeWindow)
{
    LayoutState state = Interactive();
    state.loginPending = true;
    const Rect client{0, 0, 640, 480};
    const ControlPlacements placed = LayOutControls(client, TemplatePixels(), state);
    for (const auto& [id, placement] : placed)
        EXPECT_EQ(placement.visible, id == IDC_LOGIN_BROWSER) << id;
    EXPECT_EQ(placed.at(IDC_LOGIN_BROWSER).rect, client);
}

TEST(DialogLayout, AfterAJobTheEditsAndTheBrowseButtonAreDisabled)
{
    LayoutState state = Interactive();
    state.hasAccessToken = true;
    const ControlPlacements placed = LayOutControls(TemplateClient(), TemplatePixels(), state);
    for (int id :
         {IDC_ALBUM_EDIT, IDC_DESCRIPTION_EDIT, IDC_FILE_EDIT, IDC_URL_EDIT, IDC_COMMENTS_EDIT, IDC_BROWSE_BUTTON}) {
        EXPECT_TRUE(placed.at(id).visible) << id;
        EXPECT_EQ(placed.at(id).enabled, false) << id;
    }
    EXPECT_TRUE(placed.at(IDC_LOG_LIST).visible);
    EXPECT_TRUE(placed.at(IDC_UPLOAD_BUTTON).visible);
}

TEST(DialogLayout, UnattendedBoxIsCentredOnA1920By1080ClientArea)
{
    UploadJob job;
    job.windowX = 100;
    job.windowY = 100;
    job.windowWidth = 800;
    job.windowHeight = 600;
    const Rect client{0, 0, 1920, 1080};
    CentreBrowserBox(job, client);
    EXPECT_EQ(job.windowX, 560);
    EXPECT_EQ(job.windowY, 240);

    const ControlPlacements placed = LayOutControls(
        client, TemplatePixels(), Unattended(job.windowX, job.windowY, job.windowWidth, job.windowHeight));
    const Rect box = placed.at(IDC_LOGIN_BROWSER).rect;
    EXPECT_EQ(box.left, 560);
    EXPECT_EQ(box.top, 240);
    EXPECT_EQ(box.Width(), 801);
    EXPECT_EQ(box.Height(), 601);
    for (const auto& [id, placement] : placed)
        EXPECT_EQ(placement.visible, id == IDC_LOGIN_BROWSER) << id;
}

TEST(DialogLayout, UnattendedWithoutWidthOrHeightCoversTheClientArea)
{
    const Rect client{0, 0, 1920, 1080};
    EXPECT_EQ(LayOutControls(client, TemplatePixels(), Unattended(10, 10, 0, 600)).at(IDC_LOGIN_BROWSER).rect, client);
    EXPECT_EQ(LayOutControls(client, TemplatePixels(), Unattended(10, 10, 800, 0)).at(IDC_LOGIN_BROWSER).rect, client);
    EXPECT_EQ(LayOutControls(client, TemplatePixels(), Unattended(0, 10, 800, 600)).at(IDC_LOGIN_BROWSER).rect, client);
}

TEST(DialogLayout, UnattendedBoxLargerThanTheClientAreaIsNotCentred)
{
    UploadJob job;
    job.windowX = 30;
    job.windowY = 40;
    job.windowWidth = 2000;
    job.windowHeight = 600;
    const Rect client{0, 0, 1920, 1080};
    CentreBrowserBox(job, client);
    EXPECT_EQ(job.windowX, 30);
    EXPECT_EQ(job.windowY, 40);
    const Rect box = LayOutControls(client, TemplatePixels(), Unattended(30, 40, 2000, 600)).at(IDC_LOGIN_BROWSER).rect;
    EXPECT_EQ(box, (Rect{30, 40, 2031, 641}));

    job.windowX = 0;
    CentreBrowserBox(job, client);
    EXPECT_EQ(LayOutControls(client, TemplatePixels(), Unattended(0, 40, 2000, 600)).at(IDC_LOGIN_BROWSER).rect,
              client);
}

TEST(DialogLayout, AtTheMinimumSizeEveryControlKeepsAPositiveSize)
{
    EXPECT_EQ(MinimumTrackingSize, (Size{300, 300}));
    const Rect client{0, 0, MinimumTrackingSize.width, MinimumTrackingSize.height};
    const ControlPlacements placed = LayOutControls(client, TemplatePixels(), Interactive());
    for (int id : {IDC_LOG_LIST, IDC_UPLOAD_BUTTON, IDC_ABOUT_BUTTON, IDC_BROWSE_BUTTON}) {
        EXPECT_GT(placed.at(id).rect.Width(), 0) << id;
        EXPECT_GT(placed.at(id).rect.Height(), 0) << id;
    }
}

}  // namespace

namespace {

bool Overlap(const Rect& a, const Rect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

// Down to the smallest window the form gets no negative size, and the log list, when
// there is no room for it, gives way instead of lying under the buttons.
TEST(DialogLayout, SmallWindowsGetNoNegativeSizesAndTheListStaysClearOfTheButtons)
{
    for (const Rect client : {Rect{0, 0, MinimumTrackingSize.width, MinimumTrackingSize.height}, Rect{0, 0, 400, 320},
                              Rect{0, 0, 0, 0}, TemplateClient()}) {
        const ControlPlacements placed = LayOutControls(client, TemplatePixels(), Interactive());
        for (const auto& [id, placement] : placed) {
            EXPECT_GE(placement.rect.Width(), 0) << id << " in " << client.Width() << "x" << client.Height();
            EXPECT_GE(placement.rect.Height(), 0) << id << " in " << client.Width() << "x" << client.Height();
        }
        const ControlPlacement& list = placed.at(IDC_LOG_LIST);
        if (!list.visible)
            continue;
        for (int button : {IDC_UPLOAD_BUTTON, IDC_ABOUT_BUTTON})
            EXPECT_FALSE(Overlap(list.rect, placed.at(button).rect)) << client.Width() << "x" << client.Height();
    }
    EXPECT_TRUE(LayOutControls(TemplateClient(), TemplatePixels(), Interactive()).at(IDC_LOG_LIST).visible);
}
