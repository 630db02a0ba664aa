#include "app/gui/MainDialogView.h"

#include "app/BrowseFilter.h"
#include "app/CloseSignals.h"
#include "app/DialogLayout.h"
#include "app/DialogTemplate.h"
#include "app/gui/AboutDlg.h"
#include "app/gui/AppArtwork.h"
#include "browser/LoginBrowser.h"
#include "browser/WxText.h"
#include "login/MyDHtmlDlg.h"

#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/region.h>
#include <wx/stattext.h>

#ifndef _WIN32
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#endif

namespace {

constexpr int TimerPeriodMs = 500;
constexpr int ConnectionPollMs = 10;
enum TimerId { MainTimerId = wxID_HIGHEST + 1, ConnectionPollTimerId };
const wxColour KeyColour(0, 1, 2);

wxRect ToWxRect(const Rect& rect) { return {rect.left, rect.top, rect.Width(), rect.Height()}; }

Rect FromWxRect(const wxRect& rect) { return Rect::FromSize(rect.x, rect.y, rect.width, rect.height); }

long DialogStyle(bool interactive)
{
    // A port cannot take the frame away later, so the unattended face is borderless from the start.
    if (!interactive)
        return wxBORDER_NONE | wxFRAME_SHAPED;
    return wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER;
}

int MessageIconStyle(MessageIcon icon) { return icon == MessageIcon::Error ? wxICON_ERROR : wxICON_INFORMATION; }

}  // namespace

MainDialogView::MainDialogView(CZendrik2Dlg& dialog, CMyDHtmlDlg& loginBrowser)
    : wxDialog(nullptr, wxID_ANY, "Zendrik2", wxDefaultPosition, wxDefaultSize, DialogStyle(dialog.IsInteractive())),
      dialog_(dialog),
      loginBrowser_(loginBrowser),
      timer_(this, MainTimerId),
      connectionPoll_(this, ConnectionPollTimerId)
{
    const wxSize base = ConvertDialogToPixels(wxSize(4, 8));
    baseUnits_ = {base.x, base.y};
    SetIcons(ApplicationIcons());
    CreateControls();
    const Size client = DialogUnitsToPixels(TemplateSize, baseUnits_);
    SetClientSize(client.width, client.height);
    SetMinSize(wxSize(MinimumTrackingSize.width, MinimumTrackingSize.height));
    ExchangeData(false);
    loginBrowser_.Attach(*browser_, *this);
    dialog_.AttachWindow(this, &loginBrowser_);
    BindEvents();
}

MainDialogView::~MainDialogView()
{
    timer_.Stop();
    connectionPoll_.Stop();
    bridge_.Shutdown();
    dialog_.AttachWindow(nullptr, nullptr);
    loginBrowser_.Detach();
    browser_.reset();
}

void MainDialogView::CreateControls()
{
    AddLabel(IDC_ALBUM_LABEL, "Album name:");
    album_ = AddEdit(IDC_ALBUM_EDIT);
    AddLabel(IDC_DESCRIPTION_LABEL, "Description:");
    description_ = AddEdit(IDC_DESCRIPTION_EDIT);
    AddLabel(IDC_FILE_LABEL, "JPEG/video file:");
    file_ = AddEdit(IDC_FILE_EDIT);
    AddButton(IDC_BROWSE_BUTTON, "...");
    AddLabel(IDC_URL_LABEL, "URL:");
    url_ = AddEdit(IDC_URL_EDIT);
    AddLabel(IDC_COMMENTS_LABEL, "Comments:");
    comments_ = AddEdit(IDC_COMMENTS_EDIT, wxTE_MULTILINE);

    const ControlRects& rects = TemplateControlRects();
    list_ =
        new wxListBox(this, IDC_LOG_LIST, wxDefaultPosition, wxDefaultSize, 0, nullptr, wxLB_SINGLE | wxLB_ALWAYS_SB);
    list_->SetSize(ToWxRect(DialogUnitsToPixels(rects.at(IDC_LOG_LIST), baseUnits_)));
    list_->Hide();
    controls_[IDC_LOG_LIST] = list_;
    log_ = std::make_unique<ListBoxLog>(*list_);

    const Rect browserBox = DialogUnitsToPixels(rects.at(IDC_LOGIN_BROWSER), baseUnits_);
    browser_ = std::make_unique<LoginBrowser>(this, wxPoint(browserBox.left, browserBox.top),
                                              wxSize(browserBox.Width(), browserBox.Height()));
    controls_[IDC_LOGIN_BROWSER] = browser_->View();

    AddButton(IDC_ABOUT_BUTTON, "About...");
    upload_ = AddButton(IDC_UPLOAD_BUTTON, "Upload to Facebook");
    upload_->SetDefault();
}

wxTextCtrl* MainDialogView::AddEdit(int id, long style)
{
    const Rect rect = DialogUnitsToPixels(TemplateControlRects().at(id), baseUnits_);
    auto* edit = new wxTextCtrl(this, id, wxEmptyString, wxPoint(rect.left, rect.top),
                                wxSize(rect.Width(), rect.Height()), style);
    controls_[id] = edit;
    return edit;
}

void MainDialogView::AddLabel(int id, const char* caption)
{
    const Rect rect = DialogUnitsToPixels(TemplateControlRects().at(id), baseUnits_);
    controls_[id] = new wxStaticText(this, id, caption, wxPoint(rect.left, rect.top),
                                     wxSize(rect.Width(), rect.Height()), wxST_NO_AUTORESIZE);
}

wxButton* MainDialogView::AddButton(int id, const char* caption)
{
    const Rect rect = DialogUnitsToPixels(TemplateControlRects().at(id), baseUnits_);
    auto* button = new wxButton(this, id, caption, wxPoint(rect.left, rect.top), wxSize(rect.Width(), rect.Height()));
    controls_[id] = button;
    return button;
}

void MainDialogView::BindEvents()
{
    Bind(wxEVT_TIMER, &MainDialogView::OnTimerEvent, this, MainTimerId);
    Bind(wxEVT_TIMER, &MainDialogView::OnConnectionPollEvent, this, ConnectionPollTimerId);
    Bind(wxEVT_CLOSE_WINDOW, &MainDialogView::OnCloseEvent, this);
    Bind(wxEVT_CHAR_HOOK, &MainDialogView::OnCharHook, this);
    Bind(wxEVT_SIZE, &MainDialogView::OnSizeEvent, this);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { dialog_.OnUploadButton(); }, IDC_UPLOAD_BUTTON);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { dialog_.OnBrowse(); }, IDC_BROWSE_BUTTON);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { dialog_.OnAbout(); }, IDC_ABOUT_BUTTON);
}

void MainDialogView::Run()
{
    dialog_.OnInitDialog();
    timer_.Start(TimerPeriodMs);
    if (!dialog_.IsInteractive() && dialog_.ContinueUnattended() == UnattendedStart::TestingConnection)
        connectionPoll_.Start(ConnectionPollMs);
    ShowModal();
    timer_.Stop();
    connectionPoll_.Stop();
    bridge_.Shutdown();
    dialog_.OnDestroy();
    if (tickStats_.Enabled())
        tickStats_.Print(stderr);
}

void MainDialogView::OnTimerEvent(wxTimerEvent&)
{
    const TickStats::Clock::time_point start = TickStats::Clock::now();
    const bool jobRunning = tickStats_.Enabled() && dialog_.IsWorkerBusy();
    if (TakeCloseSignal())
        dialog_.OnCancel();
    dialog_.OnTimer();
    if (tickStats_.Enabled())
        tickStats_.Record(start, TickStats::Clock::now(), jobRunning);
}

void MainDialogView::OnConnectionPollEvent(wxTimerEvent&)
{
    if (dialog_.ContinueUnattended() != UnattendedStart::TestingConnection)
        connectionPoll_.Stop();
}

void MainDialogView::OnCloseEvent(wxCloseEvent& event)
{
    if (!event.CanVeto()) {
        event.Skip();
        return;
    }
    event.Veto();
    dialog_.OnCancel();
}

void MainDialogView::OnCharHook(wxKeyEvent& event)
{
    if (event.GetKeyCode() == WXK_ESCAPE) {
        dialog_.OnCancel();
        return;
    }
    event.Skip();
}

void MainDialogView::OnSizeEvent(wxSizeEvent& event)
{
    event.Skip();
    if (upload_ != nullptr)
        LayOutControls();
}

template <typename Call>
auto MainDialogView::NestedModal(Call call) -> decltype(call())
{
    struct Depth {
        MainDialogView& view;
        explicit Depth(MainDialogView& v) : view(v) { ++view.nestedModals_; }
        ~Depth()
        {
            --view.nestedModals_;
            view.EndIfPending();
        }
    } depth(*this);
    return call();
}

void MainDialogView::EndIfPending()
{
    if (endPending_ && nestedModals_ == 0 && IsModal()) {
        endPending_ = false;
        EndModal(wxID_OK);
    }
}

void MainDialogView::SetWindowTitle(const std::u16string& title)
{
    bridge_.Run([this, &title] { SetTitle(ToWx(title)); });
}

std::u16string MainDialogView::WindowTitle() const { return FromWx(GetTitle()); }

bool MainDialogView::AskYesNo(const std::u16string& text, const std::u16string& caption)
{
    bool yes = false;
    bridge_.Run([&] {
        yes = NestedModal(
            [&] { return wxMessageBox(ToWx(text), ToWx(caption), wxYES_NO | wxICON_QUESTION, this) == wxYES; });
    });
    return yes;
}

void MainDialogView::ShowMessage(const std::u16string& text, const std::u16string& caption, MessageIcon icon)
{
    NestedModal([&] { return wxMessageBox(ToWx(text), ToWx(caption), wxOK | MessageIconStyle(icon), this); });
}

void MainDialogView::MoveOffScreen()
{
    Lower();
    Move(0, 5000);
}

void MainDialogView::LayOutControls()
{
    ControlRects current;
    for (const auto& [id, control] : controls_) {
        if (control != nullptr)
            current[id] = FromWxRect(control->GetRect());
    }
    const ControlPlacements placements = ::LayOutControls(ClientRect(), current, dialog_.CurrentLayoutState());
    for (const auto& [id, placement] : placements) {
        wxWindow* control = controls_[id];
        if (control == nullptr)
            continue;
        control->SetSize(ToWxRect(placement.rect));
        control->Show(placement.visible);
        if (placement.enabled)
            control->Enable(*placement.enabled);
    }
    if (unattendedSurface_)
        ApplyShape(placements.at(IDC_LOGIN_BROWSER).rect);
}

std::u16string MainDialogView::UploadButtonCaption() const { return FromWx(upload_->GetLabel()); }

void MainDialogView::SetUploadButtonCaption(const std::u16string& caption) { upload_->SetLabel(ToWx(caption)); }

void MainDialogView::EnableUploadButton(bool enable) { upload_->Enable(enable); }

void MainDialogView::ExchangeData(bool saveToFields)
{
    UploadJob& job = dialog_.Job();
    const std::pair<wxTextCtrl*, std::u16string*> pairs[] = {
        {file_, &job.filePath},     {album_, &job.albumName}, {description_, &job.description},
        {comments_, &job.comments}, {url_, &job.linkUrl},
    };
    for (const auto& [edit, field] : pairs) {
        if (saveToFields)
            *field = FromWx(edit->GetValue());
        else
            edit->ChangeValue(ToWx(*field));
    }
}

bool MainDialogView::ChooseFileToUpload(std::u16string& path)
{
    wxFileDialog chooser(this, wxFileSelectorPromptStr, wxEmptyString, wxEmptyString,
                         ToWx(CaseInsensitiveFilter(kBrowseFilter)), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (NestedModal([&] { return chooser.ShowModal(); }) != wxID_OK)
        return false;
    path = FromWx(chooser.GetPath());
    return true;
}

void MainDialogView::ShowAboutBox()
{
    CAboutDlg about(this);
    NestedModal([&] { return about.ShowModal(); });
}

void MainDialogView::EndModalDialog()
{
    endPending_ = true;
    EndIfPending();
}

Rect MainDialogView::ClientRect() const
{
    const wxSize size = GetClientSize();
    return {0, 0, size.x, size.y};
}

void MainDialogView::BecomeUnattendedSurface()
{
    unattendedSurface_ = true;
    const UploadJob& job = dialog_.Job();
    const wxRect box(job.windowX, job.windowY, job.windowWidth, job.windowHeight);
    int display = wxDisplay::GetFromPoint(box.GetPosition() + wxSize(box.width / 2, box.height / 2));
    if (display == wxNOT_FOUND)
        display = 0;
    SetSize(wxDisplay(static_cast<unsigned>(display)).GetClientArea());
    Maximize();
    SetBackgroundColour(KeyColour);
    const wxCursor blank = BlankCursor();
    SetCursor(blank);
    if (wxWindow* view = controls_[IDC_LOGIN_BROWSER])
        view->SetCursor(blank);
}

void MainDialogView::ApplyShape(const Rect& box)
{
    if (box == shapedBox_)
        return;
    shapedBox_ = box;
    // Outside the box the window is neither drawn nor hit: what lies behind shows and
    // takes the clicks.
    SetShape(wxRegion(ToWxRect(box)));
}

#ifdef _WIN32
NativeWindowHandle MainDialogView::NativeWindow() const { return reinterpret_cast<NativeWindowHandle>(GetHWND()); }
#else
NativeWindowHandle MainDialogView::NativeWindow() const
{
    GtkWidget* widget = GetHandle();
    if (widget == nullptr)
        return 0;
    if (!gtk_widget_get_realized(widget))
        gtk_widget_realize(widget);
    GdkWindow* window = gtk_widget_get_window(widget);
    if (window == nullptr || !GDK_IS_X11_WINDOW(window))
        return 0;
    return GDK_WINDOW_XID(window);
}
#endif

void MainDialogView::PostLoginFinished()
{
    CallAfter([this] { dialog_.OnLoginFinished(); });
}

void MainDialogView::PostLoginAttemptFailed()
{
    CallAfter([this] { dialog_.OnLoginAttemptFailed(); });
}

void MainDialogView::PostLoginNotice(std::unique_ptr<std::u16string> notice)
{
    std::shared_ptr<std::u16string> held(std::move(notice));
    CallAfter(
        [this, held] { dialog_.OnLoginNotice(held ? std::make_unique<std::u16string>(std::move(*held)) : nullptr); });
}
