// The system's media player and web browser controls in a window: made, given an address, hidden
// and destroyed without harm, whatever the system behind them can do; and when they cannot be
// made at all, the window around them carries on.
#include "AxHostTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PxhlLibrary.h"
#include "gui/Form.h"
#include "gui/MediaPlayerHost.h"
#include "gui/OleClientSite.h"
#include "gui/OleEventSink.h"
#include "gui/TCppWebBrowser.h"

using namespace gui;

namespace {

const CLSID kBogusClassId = {0x0e5b2e64, 0x7c55, 0x4c3b, {0x9d, 0x4f, 0x2b, 0x8c, 0x86, 0xd5, 0xe0, 0xa1}};

// Drives a player the way the full-size view does, through the interface only.
void playThroughTheView(VideoPlayer& player, const std::wstring& url, std::vector<long>& states) {
    player.OnOpenStateChange = [&states](long state) { states.push_back(state); };
    player.OnPlayStateChange = [&states](long state) { states.push_back(1000 + state); };
    player.OnError = [&states] { states.push_back(-1); };
    player.SetStretchToFit(true);
    player.SetEnableContextMenu(false);
    player.SetFullScreen(false);
    player.SetWindowlessVideo(false);
    player.SetUiMode(L"none");
    player.SetAutoStart(true);
    player.SetInvokeURLs(false);
    const long volume = player.Volume();
    EXPECT_GE(volume, 0);
    EXPECT_LE(volume, 100);

    player.PlacePlayer(RECT{3, 3, 315, 300});
    player.ShowPlayer(true);
    player.Stop();
    player.SetURL(url);
    axtest::Pump(1500);
    player.UpdatePlayer();
    (void)player.OpenState();
    (void)player.PlayState();
    (void)player.Duration();
    player.Pause();
    player.SetCurrentPosition(0.5);
    player.Step(1);
    (void)player.CurrentPosition();
    player.SetMute(!player.Mute());
    player.SetVolume(volume);
    player.Play();
    axtest::Pump(300);
    player.Pause();
    player.ShowPlayer(false);
    axtest::Pump(100);
}

}  // namespace

TEST(HostedControls, TheMediaPlayerTakesAnAddressPlaysAsFarAsItCanHidesAndGoes) {
    const LONG sitesBefore = OleClientSite::LiveCount();
    auto* form = new TForm(nullptr);
    form->SetBounds(50, 50, 330, 340);
    auto* player = new MediaPlayerHost(form);
    player->SetParent(form);
    form->Show();
    axtest::Pump(100);

    EXPECT_EQ(player->CreationResult(), S_OK);
    ASSERT_TRUE(player->PlayerAvailable()) << "the system's media player could not be made";
    EXPECT_EQ(player->ActivationResult(), S_OK);
    EXPECT_NE(player->PlayerWindow(), nullptr);

    HWND playerWindow = player->PlayerWindow();
    std::vector<long> states;
    // Not a video the system can open: as far as a player without codecs gets with a real one.
    const std::wstring url = axtest::PeerUrl(L"/files/medium.bin");
    playThroughTheView(*player, url, states);
    EXPECT_EQ(player->URL(), url);
    EXPECT_FALSE(states.empty());  // the player reported how far it got
    EXPECT_TRUE(player->Visible() == false && player->PlayerVisible() == false);
    const RECT bounds = player->PlayerBounds();
    EXPECT_EQ(bounds.left, 3);
    EXPECT_EQ(bounds.right, 315);

    delete form;  // takes the player with it
    axtest::Pump(100);
    EXPECT_FALSE(IsWindow(playerWindow));
    EXPECT_EQ(OleEventSink::LiveCount(), 0);
    // Our references are gone; a player without in-place deactivation (E_NOTIMPL here) may keep
    // the one it took when it was activated, on a site that no longer knows any window.
    EXPECT_LE(OleClientSite::LiveCount(), sitesBefore + 1);
}

TEST(HostedControls, APlayerThatCannotBeMadeIsReportedAndTheViewCanStillDriveIt) {
    auto* form = new TForm(nullptr);
    form->SetBounds(50, 50, 330, 340);
    // Not registered at all, and registered but no media player.
    auto* missing = new MediaPlayerHost(form, kBogusClassId);
    auto* wrong = new MediaPlayerHost(form, CLSID_Pxhl);
    missing->SetParent(form);
    wrong->SetParent(form);
    form->Show();

    EXPECT_EQ(missing->CreationResult(), REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(missing->PlayerAvailable());
    EXPECT_EQ(wrong->CreationResult(), S_OK);
    EXPECT_FALSE(wrong->PlayerAvailable());
    for (MediaPlayerHost* player : {missing, wrong}) {
        std::vector<long> states;
        playThroughTheView(*player, axtest::PeerUrl(L"/files/one.bin"), states);
        EXPECT_TRUE(states.empty());
        EXPECT_EQ(player->URL(), L"");
        EXPECT_EQ(player->PlayState(), VideoPlayState::Undefined);
        EXPECT_EQ(player->Duration(), 0.0);
    }
    delete form;
}

TEST(HostedControls, TheBrowserNavigatesOrNotWithoutHarmAndGoesWithItsWindow) {
    const LONG sitesBefore = OleClientSite::LiveCount();
    auto* form = new TForm(nullptr);
    form->SetBounds(-10000, 0, 446, 312);
    auto* browser = new TCppWebBrowser(form);
    browser->SetParent(form);
    browser->SetBounds(2, 30, 100, 100);
    int completed = 0;
    browser->OnNavigateComplete2 = [&](TObject*, IDispatch*, const std::wstring&) { ++completed; };
    browser->OnBeforeNavigate2 = [](TObject*, IDispatch*, const std::wstring&, bool&) {};
    ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);
    form->SetVisible(true);
    form->SetVisible(false);

    EXPECT_EQ(browser->CreationResult(), S_OK);
    ASSERT_TRUE(browser->BrowserAvailable()) << "the system's web browser could not be made";
    EXPECT_EQ(browser->ActivationResult(), S_OK);
    EXPECT_NE(browser->Application(), nullptr);

    // Here the browser has no engine: navigation may be refused or never complete. Either way
    // the calls return and the window carries on.
    browser->Navigate(axtest::PeerUrl(L"/files/one.bin"));
    axtest::Pump(1500);
    if (completed == 0) {
        EXPECT_EQ(browser->Document(), nullptr);
    }
    browser->Hide();
    browser->Navigate(axtest::PeerUrl(L"/files/small.bin"));
    axtest::Pump(200);

    HWND browserWindow = browser->ControlWindow();
    delete form;
    axtest::Pump(100);
    EXPECT_FALSE(IsWindow(browserWindow));
    EXPECT_EQ(OleClientSite::LiveCount(), sitesBefore);
    EXPECT_EQ(OleEventSink::LiveCount(), 0);
}

TEST(HostedControls, ABrowserThatCannotBeMadeIsReportedAndEveryCallIsHarmless) {
    auto* form = new TForm(nullptr);
    auto* browser = new TCppWebBrowser(form, kBogusClassId);
    browser->SetParent(form);
    form->Show();
    EXPECT_EQ(browser->CreationResult(), REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(browser->BrowserAvailable());
    EXPECT_FALSE(browser->Navigate(L"http://127.0.0.1/"));
    EXPECT_EQ(browser->Document(), nullptr);
    EXPECT_EQ(browser->Application(), nullptr);
    browser->Hide();
    delete form;
}
