// Media keys against real drives (folders marked as CD-ROM drives), real player windows of a
// stand-in program, real registry keys and real message boxes; MCI is the scripted device.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "keyfunc/media.h"
#include "keyfunc/tests/media_support.h"
#include "keyfunc/vnutil.h"

namespace {

using namespace vn::media;
using vntest::EjectDisc;
using vntest::InsertDisc;
using vntest::LogHas;
using vntest::MessageBoxWatcher;
using vntest::Player;

const char kWmpKey[] = "Software\\Microsoft\\Multimedia\\WMPlayer";

class MediaKeys : public ::testing::Test {
protected:
    void SetUp() override {
        State() = MediaState();
        cd.tracks = {"other"};  // data tracks unless a test puts audio on a drive
        for (char l : {'R', 'S', 'T'}) EjectDisc(l);
        ClearPlayers();
        SetLaunchPollInterval(250);
    }
    void TearDown() override {
        for (char l : {'R', 'S', 'T'}) InsertDisc(l, {});
        ClearPlayers();
        SetLaunchPollInterval(1000);
    }
    static void ClearPlayers() {
        for (const char* key : {kWmpKey, "Software\\Microsoft\\Multimedia\\MPlayer2", "Software\\InterVideo",
                                "Software\\CyberLink", "Software\\Mediamatics",
                                "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\DVDPlayer.exe"})
            vntest::DeleteRegTree(HKEY_LOCAL_MACHINE, key);
    }
    // A copy of the player stand-in under an installed player's file name.
    std::string InstallPlayer(const char* fileName) {
        std::string path = tmp.file(fileName);
        CopyFileA(vntest::PlayerExe().c_str(), path.c_str(), FALSE);
        return path;
    }
    std::string LogOf(const std::string& exe) { return exe + ".log"; }

    vntest::FakeCdAudio cd;
    vntest::TempDir tmp;
};

TEST_F(MediaKeys, ClassifiesEveryDiscKind) {
    struct Case {
        std::vector<std::string> files;
        int kind;
    } cases[] = {
        {{"Track01.cda"}, kAudioCd},
        {{"VCD\\INFO.VCD", "MPEGAV\\AVSEQ01.DAT"}, kVcd},
        {{"AUTORUN.INF", "setup.exe"}, kSoftware},
        {{"VIDEO_TS\\VTS_01_0.IFO"}, kDvd},
        {{"VIDEO_TS\\VTS_01_0.IFO", "autorun.exe"}, kSoftware},  // the AutoRun test comes first
        {{"readme.txt"}, kDataDisc},
        {{}, kDataDisc},
    };
    for (const Case& c : cases) {
        InsertDisc('R', c.files);
        DriveChoice d = ChooseDrive();
        EXPECT_STREQ(d.root, "R:\\");
        EXPECT_EQ(d.kind, c.kind) << (c.files.empty() ? "(empty)" : c.files[0]);
    }
    EjectDisc('R');
    EXPECT_EQ(ChooseDrive().kind, kNoDisc);
    // A mixed-mode disc: no .cda file, but MCI finds an audio track.
    InsertDisc('R', {"AUTORUN.INF"});
    cd.driveTracks["R:"] = {"other", "audio"};
    EXPECT_EQ(ChooseDrive().kind, kAudioCd);
}

TEST_F(MediaKeys, LaterDrivesWinByPrecedence) {
    InsertDisc('R', {});
    InsertDisc('S', {"AUTORUN.INF"});
    InsertDisc('T', {"Track01.cda"});
    DriveChoice d = ChooseDrive();
    EXPECT_STREQ(d.root, "T:\\");
    EXPECT_EQ(d.kind, kAudioCd);

    EjectDisc('T');
    EXPECT_STREQ(ChooseDrive().root, "S:\\");  // software beats other data

    InsertDisc('R', {"VIDEO_TS\\VTS_01_0.IFO"});
    InsertDisc('T', {"Track01.cda"});
    EXPECT_STREQ(ChooseDrive().root, "R:\\");  // the first playable disc stays

    EjectDisc('R');
    EjectDisc('T');
    InsertDisc('S', {"data.bin"});
    EXPECT_STREQ(ChooseDrive().root, "S:\\");  // anything beats an empty drive
}

TEST_F(MediaKeys, NoDiscShowsSystemModalMessage) {
    MessageBoxWatcher box;
    EXPECT_EQ(CD_Play(), 1);
    box.Join();
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, "There is no CD in the drive.  Please insert an audio CD, VCD or DVD and try again.");
    EXPECT_TRUE(box.topmost);
}

TEST_F(MediaKeys, SecondRequestWhileMessageOpenOnlyBeeps) {
    InsertDisc('R', {"data.bin"});
    int second = -1;
    MessageBoxWatcher box([&] { second = CD_NextTrack(); });
    EXPECT_EQ(CD_Stop(), 1);
    box.Join();
    EXPECT_EQ(box.text, "The CD in the drive contains software, it is not an audio CD, VCD or DVD. Software CDs must "
                        "be used from the Windows desktop.");
    EXPECT_EQ(second, 1);
    EXPECT_EQ(box.boxesWhileOpen, 1);
}

TEST_F(MediaKeys, SoftwareCdRunsAutoRunOnlyForPlay) {
    InsertDisc('R', {"AUTORUN.INF"});
    {
        MessageBoxWatcher box;
        EXPECT_EQ(CD_Pause(), 1);
        box.Join();
        EXPECT_EQ(box.text, "This button is not available for software CDs. You can use this button only with an "
                            "audio CD, VCD, or DVD.");
    }
    // Play goes to the disc's AutoRun through the shell: no message.
    EXPECT_EQ(CD_Play(), 1);
    EXPECT_EQ(OpenAutoRunCD("R:\\"), 1);
}

TEST_F(MediaKeys, AudioCdWithoutPlayersDrivesTheDriveThroughMci) {
    InsertDisc('S', {"Track01.cda", "Track02.cda"});
    cd.Clear();
    EXPECT_EQ(CD_Play(), 1);
    EXPECT_EQ(cd.openedDevice, "S:");
    EXPECT_EQ(cd.Commands().back(), "play vnbcd");
    EXPECT_EQ(CD_IsPlaying(), 1);
    EXPECT_EQ(CD_PlayPause(), 1);  // believed playing: becomes Pause
    EXPECT_EQ(cd.mode, "paused");
    EXPECT_EQ(CD_IsPlaying(), 0);
    EXPECT_EQ(CD_PlayPause(), 1);
    EXPECT_EQ(cd.mode, "playing");
    EXPECT_EQ(CD_Stop(), 1);
    EXPECT_EQ(cd.mode, "stopped");
    EXPECT_EQ(CD_IsPlaying(), 0);
}

TEST_F(MediaKeys, MediaPlayerWindowGetsAppCommands) {
    InsertDisc('R', {"Track01.cda"});
    std::string log = tmp.file("wmp.log");
    Player wmp(vntest::PlayerExe(), "WMPlayerApp \"" + log + "\"", "WMPlayerApp");
    ASSERT_NE(wmp.window(), nullptr);
    EXPECT_EQ(CD_NextTrack(), 1);
    EXPECT_EQ(CD_PrevTrack(), 1);
    State().playFlag = 1;
    EXPECT_EQ(CD_Stop(), 1);
    EXPECT_EQ(CD_IsPlaying(), 0);
    EXPECT_EQ(vntest::ReadLines(log), (std::vector<std::string>{"START WMPlayerApp \"" + log + "\"",
                                                                "APPCOMMAND 11", "APPCOMMAND 12", "APPCOMMAND 13"}));
    EXPECT_TRUE(cd.Commands().empty() || cd.Commands().back().find("play") == std::string::npos);
}

TEST_F(MediaKeys, PlayWhileMediaPlayerPlaysSendsNothing) {
    InsertDisc('R', {"Track01.cda"});
    std::string log = tmp.file("wmp.log");
    Player wmp(vntest::PlayerExe(), "WMPlayerApp \"" + log + "\"", "WMPlayerApp");
    // The drive's answer is "not playing" (no ASPI); a press within a second counts as a toggle.
    EXPECT_EQ(CD_CheckPlayPauseStatus(), 0);
    EXPECT_EQ(CD_Play(), 1);  // refreshed state: playing, so nothing is sent
    EXPECT_EQ(vntest::ReadLines(log).size(), 1u);
    Sleep(1100);
    EXPECT_EQ(CD_Play(), 1);  // refreshed from the drive: not playing, so the toggle is sent
    EXPECT_TRUE(LogHas(log, "APPCOMMAND 14"));
}

TEST_F(MediaKeys, JustLaunchedMediaPlayerIsNotToggled) {
    InsertDisc('R', {"Track01.cda"});
    std::string exe = InstallPlayer("wmplayer.exe");
    vntest::SetText(HKEY_LOCAL_MACHINE, kWmpKey, "Player.Path", exe);
    EXPECT_EQ(CD_Stop(), 1);  // Stop does not start the player
    Sleep(300);
    EXPECT_EQ(FindWindowA("WMPlayerApp", nullptr), nullptr);
    EXPECT_EQ(CD_PlayPause(), 1);
    Player started("", "", "WMPlayerApp");  // closes the started program at the end
    ASSERT_NE(started.window(), nullptr);
    EXPECT_EQ(CD_IsPlaying(), 1);
    EXPECT_EQ(vntest::ReadLines(LogOf(exe)), (std::vector<std::string>{"START /device:AudioCD"}));
    EXPECT_EQ(CD_PlayPause(), 1);
    EXPECT_TRUE(LogHas(LogOf(exe), "APPCOMMAND 14"));
}

TEST_F(MediaKeys, SystemCdPlayerGetsCharacterCommands) {
    InsertDisc('R', {"Track01.cda"});
    std::string log = tmp.file("cdp.log");
    Player cdp(vntest::PlayerExe(), "MMFRAME_MAIN \"" + log + "\"", "MMFRAME_MAIN");
    EXPECT_EQ(CD_Play(), 1);
    EXPECT_EQ(CD_IsPlaying(), 1);
    EXPECT_EQ(CD_NextTrack(), 1);
    EXPECT_EQ(CD_PrevTrack(), 1);
    EXPECT_EQ(CD_PlayPause(), 1);
    EXPECT_EQ(CD_IsPlaying(), 1);  // the player toggles by itself; the belief stays
    EXPECT_EQ(CD_Stop(), 1);
    EXPECT_EQ(CD_IsPlaying(), 0);
    std::vector<std::string> lines = vntest::ReadLines(log);
    lines.erase(lines.begin());
    EXPECT_EQ(lines, (std::vector<std::string>{"COMMAND 104", "COMMAND 110", "COMMAND 109", "COMMAND 104",
                                               "COMMAND 105"}));
}

TEST_F(MediaKeys, SystemCdPlayerOnWindows2000GetsAppCommands) {
    if (!vntest::InChild()) {
        EXPECT_EQ(vntest::RunSelf("MediaKeys.SystemCdPlayerOnWindows2000GetsAppCommands", {"win2k"}), 0);
        return;
    }
    ASSERT_EQ(IsWin2000(), 1);
    InsertDisc('R', {"Track01.cda"});
    std::string log = tmp.file("cdp.log");
    Player cdp(vntest::PlayerExe(), "MMFRAME_MAIN \"" + log + "\"", "MMFRAME_MAIN");
    EXPECT_EQ(CD_NextTrack(), 1);
    EXPECT_EQ(CD_PlayPause(), 1);
    EXPECT_TRUE(LogHas(log, "APPCOMMAND 11"));
    EXPECT_TRUE(LogHas(log, "APPCOMMAND 14"));
}

TEST_F(MediaKeys, ThirdPartyCdPlayerGetsConvertedPlayPause) {
    InsertDisc('R', {"Track01.cda"});
    std::string log = tmp.file("sje.log");
    Player sje(vntest::PlayerExe(), "SJE_CdPlayerClass \"" + log + "\"", "SJE_CdPlayerClass");
    EXPECT_EQ(CD_PlayPause(), 1);
    EXPECT_EQ(CD_IsPlaying(), 1);
    EXPECT_EQ(CD_PlayPause(), 1);
    EXPECT_EQ(CD_IsPlaying(), 0);
    EXPECT_EQ(CD_NextTrack(), 1);
    EXPECT_EQ(CD_PrevTrack(), 1);
    EXPECT_EQ(CD_Stop(), 1);
    std::vector<std::string> lines = vntest::ReadLines(log);
    lines.erase(lines.begin());
    EXPECT_EQ(lines, (std::vector<std::string>{"COMMAND 1000", "COMMAND 1001", "COMMAND 1006", "COMMAND 1003",
                                               "COMMAND 1002"}));
}

TEST_F(MediaKeys, CheckPlayPauseStatusByDiscKind) {
    InsertDisc('R', {"data.bin"});
    EXPECT_EQ(CD_CheckPlayPauseStatus(), -1);
    InsertDisc('R', {"Track01.cda"});
    cd.mode = "playing";
    EXPECT_EQ(CD_CheckPlayPauseStatus(), 1);  // MCI answers for an audio CD
    cd.mode = "stopped";
    EXPECT_EQ(CD_CheckPlayPauseStatus(), 0);
    // A DVD: the drive says "not playing"; presses within a second toggle the belief.
    InsertDisc('R', {"VIDEO_TS\\VTS_01_0.IFO"});
    EXPECT_EQ(CD_CheckPlayPauseStatus(), 0);
    EXPECT_EQ(CD_CheckPlayPauseStatus(), 1);
    EXPECT_EQ(CD_CheckPlayPauseStatus(), 0);
    EXPECT_EQ(CD_CheckPlayPauseStatus(), 1);
    Sleep(1100);
    EXPECT_EQ(CD_CheckPlayPauseStatus(), 0);  // asked the drive again
}

TEST_F(MediaKeys, LaunchCdPlayerStartsWhatSuitsTheDisc) {
    InsertDisc('R', {"Track01.cda"});
    std::string wmp = InstallPlayer("wmplayer.exe");
    vntest::SetText(HKEY_LOCAL_MACHINE, kWmpKey, "Player.Path", wmp);
    EXPECT_EQ(LaunchCDPlayer(), 1);
    {
        Player started("", "", "WMPlayerApp");
        EXPECT_TRUE(LogHas(LogOf(wmp), "START "));
    }
    // A DVD starts the first installed video player instead.
    InsertDisc('R', {"VIDEO_TS\\VTS_01_0.IFO"});
    std::string dir = tmp.path();
    InstallPlayer("PowerDVD.exe");
    vntest::SetText(HKEY_LOCAL_MACHINE, "Software\\CyberLink\\PowerDVD", "InstallDir", dir);
    EXPECT_EQ(LaunchCDPlayer(), 1);
    Player started("", "", "Class of CyberLink Universal Player");
    EXPECT_NE(started.window(), nullptr);
}

TEST_F(MediaKeys, PowerDvdGetsPrivateMessagesAndBecomesActivePlayer) {
    InsertDisc('R', {"VIDEO_TS\\VTS_01_0.IFO"});
    std::string log = tmp.file("pdvd.log");
    auto player = std::make_unique<Player>(vntest::PlayerExe(),
                                           "\"Class of CyberLink Universal Player\" \"" + log +
                                               "\" \"CyberLink Universal Player\"",
                                           "Class of CyberLink Universal Player");
    ASSERT_NE(player->window(), nullptr);
    State().playFlag = 1;
    EXPECT_EQ(CD_NextTrack(), 1);
    EXPECT_TRUE(LogHas(log, "MSG 1036"));
    EXPECT_EQ(CD_IsPlaying(), 1);  // unchanged
    EXPECT_EQ(CD_Stop(), 1);
    EXPECT_TRUE(LogHas(log, "MSG 1031"));
    EXPECT_EQ(CD_IsPlaying(), 0);
    EXPECT_EQ(ActivePlayer(), 1);
    player.reset();
    EXPECT_EQ(ActivePlayer(), 0);
    EXPECT_EQ(ActivePlayer(), 0);
}

TEST_F(MediaKeys, WinDvdFromNewestDvdKeyGetsConvertedPlayPause) {
    InsertDisc('R', {"VCD\\INFO.VCD"});
    std::string exe = InstallPlayer("WinDVD.exe");
    vntest::SetText(HKEY_LOCAL_MACHINE, "Software\\InterVideo\\DVD4", "PATH", tmp.path());
    vntest::SetText(HKEY_LOCAL_MACHINE, "Software\\InterVideo\\WinDVD9", "PATH", "C:\\nowhere");
    Player windvd(exe, "", "WinDVD");
    ASSERT_NE(windvd.window(), nullptr);
    State().playFlag = 1;
    EXPECT_EQ(CD_PlayPause(), 1);
    EXPECT_TRUE(LogHas(LogOf(exe), "COMMAND 32776"));
    EXPECT_EQ(CD_IsPlaying(), 0);
    EXPECT_EQ(CD_PlayPause(), 1);
    EXPECT_TRUE(LogHas(LogOf(exe), "COMMAND 32772"));
    EXPECT_EQ(CD_IsPlaying(), 1);
}

TEST_F(MediaKeys, StopDoesNotStartDvdPlayerAndNoPlayerIsReported) {
    InsertDisc('R', {"VIDEO_TS\\VTS_01_0.IFO"});
    std::string exe = InstallPlayer("DVDPlay.exe");
    vntest::SetText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\DVDPlayer.exe",
                    nullptr, exe);
    MessageBoxWatcher box;
    EXPECT_EQ(CD_Stop(), 1);
    box.Join();
    EXPECT_EQ(box.text, "Could not find a compatible VCD or DVD player program on this computer. You need to install "
                        "compatible VCD or DVD software to use this function.");
    EXPECT_EQ(GetFileAttributesA(LogOf(exe).c_str()), INVALID_FILE_ATTRIBUTES);  // never started
}

TEST_F(MediaKeys, DvdPlayerStartedByPlayIsCommandedFromTheNextKey) {
    InsertDisc('R', {"VIDEO_TS\\VTS_01_0.IFO"});
    std::string exe = InstallPlayer("DVDPlay.exe");
    vntest::SetText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\DVDPlayer.exe",
                    nullptr, exe);
    EXPECT_EQ(CD_Play(), 1);
    Player started("", "", "DVDPlay");  // closes the started player at the end
    ASSERT_NE(started.window(), nullptr);
    EXPECT_EQ(CD_IsPlaying(), 1);
    EXPECT_EQ(ActivePlayer(), 0);  // not made the active player by the start
    EXPECT_EQ(CD_Stop(), 1);       // a simulated key press goes to the activated window
    EXPECT_EQ(CD_IsPlaying(), 0);
    EXPECT_EQ(ActivePlayer(), 1);
    EXPECT_TRUE(LogHas(LogOf(exe), "KEY 83"));
}

// A machine without any CD drive: the media keys do nothing and say nothing.
TEST_F(MediaKeys, NoCdDriveAtAllIsSilent) {
    SetDriveList("C:\\\0");
    std::atomic<bool> done{false};
    std::atomic<int> boxes{0};
    std::thread closer([&] {
        while (!done) {
            if (HWND box = FindWindowA("#32770", nullptr)) {
                ++boxes;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
            Sleep(20);
        }
    });
    EXPECT_EQ(CD_Play(), 1);
    EXPECT_EQ(CD_PlayPause(), 1);
    EXPECT_EQ(CD_NextTrack(), 1);
    EXPECT_EQ(CD_Stop(), 1);
    EXPECT_EQ(CD_CheckPlayPauseStatus(), 0);
    EXPECT_EQ(CD_IsPlaying(), 0);
    done = true;
    closer.join();
    SetDriveList(nullptr);
    EXPECT_EQ(boxes, 0);
    EXPECT_TRUE(cd.Commands().empty());
}

const char kDvdExpress[] = "Software\\Mediamatics\\DVD Express";
const char kIfoCommand[] = "IFO_auto_file\\shell\\open\\command";

TEST_F(MediaKeys, DvdExpressFoundByItsPublishedClassOrStartedByTheIfoCommand) {
    InsertDisc('R', {"VIDEO_TS\\VTS_01_0.IFO"});
    vntest::SetText(HKEY_LOCAL_MACHINE, kDvdExpress, "Version", "2.0");
    vntest::SetText(HKEY_LOCAL_MACHINE, "Software\\Mediamatics\\DVD Express\\Mediamatics DVD Player\\Publish",
                    "ClassName", "VnDvdExpress");
    std::string log = tmp.file("dvdx.log");
    {
        Player running(vntest::PlayerExe(), "VnDvdExpress \"" + log + "\"", "VnDvdExpress");
        EXPECT_EQ(CD_PlayPause(), 1);
        EXPECT_TRUE(LogHas(log, "MSG 7033"));
        EXPECT_EQ(CD_IsPlaying(), 1);
        EXPECT_EQ(CD_Stop(), 1);
        EXPECT_TRUE(LogHas(log, "MSG 7039"));
        EXPECT_EQ(CD_IsPlaying(), 0);
    }
    // Not running: the program of the disc's open command is started for any command.
    std::string exe = InstallPlayer("dvdx.exe");
    vntest::SetText(HKEY_CLASSES_ROOT, kIfoCommand, nullptr, "\"" + exe + "\" /play \"%1\"");
    EXPECT_EQ(CD_NextTrack(), 1);
    Player started("", "", "VnkfPlayer");
    EXPECT_TRUE(LogHas(LogOf(exe), "MSG 7037"));
    vntest::DeleteRegTree(HKEY_CLASSES_ROOT, "IFO_auto_file");
}

TEST_F(MediaKeys, MediaPlayer64IsStartedAndGetsKeyPresses) {
    InsertDisc('R', {"VCD\\INFO.VCD"});
    std::string exe = InstallPlayer("mplayer2.exe");
    vntest::SetText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Multimedia\\MPlayer2", "Player.Path", exe);
    EXPECT_EQ(CD_Play(), 1);
    Player started("", "", "Media Player 2");
    EXPECT_TRUE(LogHas(LogOf(exe), "KEY 32"));  // Space
    EXPECT_EQ(CD_IsPlaying(), 1);
    EXPECT_EQ(CD_PrevTrack(), 1);
    EXPECT_TRUE(LogHas(LogOf(exe), "KEY 33"));  // Page Up
}

TEST_F(MediaKeys, LaunchVideoPlayerTakesTheFirstInstalledInItsOrder) {
    std::string dvdx = InstallPlayer("dvdx.exe"), windvd = InstallPlayer("WinDVD.exe");
    vntest::SetText(HKEY_CLASSES_ROOT, kIfoCommand, nullptr, "\"" + dvdx + "\" \"%1\"");
    vntest::SetText(HKEY_LOCAL_MACHINE, "Software\\InterVideo\\DVD4", "PATH", tmp.path());
    // The open command counts only while DVD Express is installed.
    EXPECT_EQ(LaunchVideoPlayer(), 1);
    {
        Player started("", "", "WinDVD");
        EXPECT_TRUE(LogHas(LogOf(windvd), "START "));
    }
    vntest::SetText(HKEY_LOCAL_MACHINE, kDvdExpress, "Version", "2.0");
    EXPECT_EQ(LaunchVideoPlayer(), 1);
    Player started("", "", "VnkfPlayer");
    EXPECT_TRUE(LogHas(LogOf(dvdx), "START "));
    EXPECT_EQ(vntest::ReadLines(LogOf(windvd)).size(), 1u);  // started once only
    vntest::DeleteRegTree(HKEY_CLASSES_ROOT, "IFO_auto_file");
}

// Without any player program the media library takes the commands, after the Play/Pause
// conversion, and starts its player for LaunchVideoPlayer.
TEST_F(MediaKeys, MediaLibraryIsTheLastVideoPlayer) {
    InsertDisc('R', {"VCD\\INFO.VCD"});
    std::string dll = vntest::ExeFolder() + "vnmedia_double.dll";
    DeleteFileA((dll + ".log").c_str());
    vn::Module library(LoadLibraryA(dll.c_str()));
    ASSERT_NE(library.get(), nullptr);
    SetMediaLibrary(library.get());
    State().playFlag = 1;
    EXPECT_EQ(CD_PlayPause(), 1);
    EXPECT_EQ(CD_PlayPause(), 1);
    EXPECT_EQ(CD_IsPlaying(), 1);
    EXPECT_EQ(CD_NextTrack(), 1);
    EXPECT_EQ(CD_PrevTrack(), 1);
    EXPECT_EQ(CD_Stop(), 1);
    EXPECT_EQ(LaunchVideoPlayer(), 1);
    SetMediaLibrary(nullptr);
    EXPECT_EQ(vntest::ReadLines(dll + ".log"),
              (std::vector<std::string>{"Pause", "Play 0 0", "NextTrack", "PrevTrack", "Stop", "Play 0 1"}));
}

}  // namespace
