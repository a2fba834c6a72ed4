// DirectPlay 8 and DirectPlay Voice through the engine's wrappers. What
// Wine 8 implements (address objects, the TCP/IP service provider, server
// and client Initialize, the voice objects) runs for real; where it answers
// E_NOTIMPL or a stub (Host, Connect, CheckAudioSetup) the test says so in
// its name and checks the engine's side: the arguments that can be read
// back, the results handed on, the error paths. Only 127.0.0.1 is named.
#include "support/DialogAnswerer.h"

#include "net/tavDPClient.h"
#include "net/tavDPServer.h"
#include "net/tavVoiceClient.h"
#include "net/tavVoiceServer.h"
#include "net/tavVoiceTest.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <functional>

namespace
{
// {6B1A2F3C-2E51-4B8F-9C1D-7A3B5C2D1E0F}, an application of the tests.
const GUID TestApplication = {
    0x6b1a2f3c, 0x2e51, 0x4b8f, {0x9c, 0x1d, 0x7a, 0x3b, 0x5c, 0x2d, 0x1e, 0x0f}};

HRESULT WINAPI Handler(void*, DWORD, void*)
{
    return S_OK;
}
HRESULT WINAPI VoiceHandler(void*, DWORD, void*)
{
    return S_OK;
}

class DirectPlay : public ::testing::Test
{
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    void TearDown() override { CoUninitialize(); }
};

DWORD PortOf(IDirectPlay8Address* address)
{
    DWORD port = 0, size = sizeof port, type = 0;
    if (FAILED(address->GetComponentByName(DPNA_KEY_PORT, &port, &size, &type)) ||
        type != DPNA_DATATYPE_DWORD)
        return 0;
    return port;
}

std::wstring HostNameOf(IDirectPlay8Address* address)
{
    wchar_t name[64] = {};
    DWORD size = sizeof name, type = 0;
    if (FAILED(address->GetComponentByName(DPNA_KEY_HOSTNAME, name, &size, &type)) ||
        type != DPNA_DATATYPE_STRING || size != (wcslen(name) + 1) * sizeof(wchar_t))
        return L"?";
    return name;
}

bool UsesTcpIp(IDirectPlay8Address* address)
{
    GUID sp = {};
    return SUCCEEDED(address->GetSP(&sp)) && sp == CLSID_DP8SP_TCPIP;
}

// What `body` threw, or "(nothing thrown)".
std::string Thrown(const std::function<void()>& body)
{
    try
    {
        body();
    }
    catch (const std::runtime_error& e)
    {
        return e.what();
    }
    return "(nothing thrown)";
}

} // namespace

TEST_F(DirectPlay, ServerCreatesWithTcpIpAndHostAnswersWhatThePlatformCannotDo)
{
    tavDPServer server;
    EXPECT_EQ(server.Host(TestApplication, "Session", 2502, 8, nullptr), E_FAIL) << "before Create";
    ASSERT_NO_THROW(server.Create(Handler, this));
    ASSERT_NE(server.server, nullptr);
    ASSERT_NE(server.deviceAddress, nullptr);
    EXPECT_TRUE(UsesTcpIp(server.deviceAddress));

    // Wine 8's Host is E_NOTIMPL: the result comes back unchanged, and the
    // port went on the device address as a DWORD.
    EXPECT_EQ(server.Host(TestApplication, "Session", 2502, 8, "secret"), E_NOTIMPL);
    EXPECT_EQ(PortOf(server.deviceAddress), 2502u);
    DPN_CONNECTION_INFO info = {};
    EXPECT_TRUE(FAILED(server.GetConnectionInfo(2, &info))) << "no such player";
    EXPECT_EQ(info.dwSize, sizeof info);

    // Created again: the old interfaces go, new ones come.
    ASSERT_NO_THROW(server.Create(Handler, this));
    EXPECT_EQ(PortOf(server.deviceAddress), 0u);
    server.Release();
    server.Release();
    EXPECT_EQ(server.server, nullptr);
    EXPECT_EQ(server.Close(), E_FAIL);
}

TEST_F(DirectPlay, ClientConnectFillsTheHostAddressThoughThePlatformOnlyStubsIt)
{
    tavDPClient client;
    EXPECT_EQ(client.Connect(TestApplication, "127.0.0.1", 2502, nullptr), E_FAIL)
        << "before Create";
    ASSERT_NO_THROW(client.Create(Handler, this));
    EXPECT_TRUE(UsesTcpIp(client.deviceAddress));
    EXPECT_TRUE(UsesTcpIp(client.hostAddress));

    // Wine 8's Connect is a stub that answers S_OK and connects nowhere.
    EXPECT_EQ(client.Connect(TestApplication, "127.0.0.1", 2503, "secret"), S_OK);
    EXPECT_EQ(PortOf(client.hostAddress), 2503u);
    EXPECT_EQ(HostNameOf(client.hostAddress), L"127.0.0.1");
    EXPECT_EQ(PortOf(client.deviceAddress), 0u) << "the device address keeps no port";
    client.Release();
    EXPECT_EQ(client.hostAddress, nullptr);
    EXPECT_EQ(client.CancelConnect(), E_FAIL);
}

// Run by CTest on its own as DirectPlay.CreationFailsWithoutDirectPlay,
// with Wine told not to load DirectPlay and DirectPlay Voice, as on a
// system that has neither (tests/net/CMakeLists.txt).
TEST_F(DirectPlay, DISABLED_CreationFailsWithoutDirectPlay)
{
    EXPECT_EQ(Thrown([] { tavDPServer().Create(Handler, nullptr); }),
              "Failed to create COM instance of IDirectPlay8Server.");
    EXPECT_EQ(Thrown([] { tavDPClient().Create(Handler, nullptr); }),
              "Failed to create COM instance of IDirectPlay8Client.\n");
    EXPECT_EQ(Thrown([] { tavVoiceServer().Create(nullptr, VoiceHandler); }),
              "Failed to create COM instance of IDirectPlayVoiceServer.\n");
    EXPECT_EQ(
        Thrown(
            []
            { tavVoiceClient().Create(static_cast<IDirectPlay8Client*>(nullptr), VoiceHandler); }),
        "Failed to create COM instance of IDirectPlayVoiceClient.\n");
    EXPECT_EQ(Thrown([] { tavVoiceTest().Create(); }),
              "Failed to create COM instance of IDirectPlayVoiceTest.\n");
}

TEST_F(DirectPlay, InitializeFailuresThrowTheirOwnTextsEvenOnSessionsThePlatformCannotRun)
{
    // Voice objects refuse no session, and a session that is not running,
    // the only kind Wine makes (its Host is E_NOTIMPL, its Connect a stub).
    tavDPServer server;
    server.Create(Handler, nullptr);
    tavDPClient client;
    client.Create(Handler, nullptr);
    for (IDirectPlay8Server* session : {static_cast<IDirectPlay8Server*>(nullptr), server.server})
    {
        tavVoiceServer voiceServer;
        EXPECT_EQ(Thrown([&] { voiceServer.Create(session, VoiceHandler); }),
                  "Failed to initialize DirectPlay Voice Server.\n");
    }
    for (IDirectPlay8Client* session : {static_cast<IDirectPlay8Client*>(nullptr), client.client})
    {
        tavVoiceClient voiceClient;
        EXPECT_EQ(Thrown([&] { voiceClient.Create(session, VoiceHandler); }),
                  "Failed to initialize DirectPlayVoiceClient.\n");
        voiceClient.Release();
        EXPECT_EQ(voiceClient.Disconnect(0), E_FAIL) << "released";
    }
    // And DirectPlay wants a message handler.
    EXPECT_EQ(Thrown([] { tavDPServer().Create(nullptr, nullptr); }),
              "Failed to initialize IDirectPlay8Server.");
    EXPECT_EQ(Thrown([] { tavDPClient().Create(nullptr, nullptr); }),
              "Failed to initialize DirectPlay Client.\n");
}

TEST_F(DirectPlay, VoiceObjectsAreCreatedButThePlatformCannotCheckTheAudioSetup)
{
    tavVoiceTest test;
    EXPECT_EQ(test.IsSetupNeeded(), E_FAIL) << "before Create";
    ASSERT_NO_THROW(test.Create());
    ASSERT_NE(test.test, nullptr);
    EXPECT_EQ(test.IsSetupNeeded(), E_NOTIMPL);
    // So the set-up flow asks nothing (no box appears to answer).
    DialogAnswerer never("Run setup?", IDNO);
    tavVoiceTest::RunSetupFlow(nullptr);
    Sleep(300);
    EXPECT_FALSE(never.Answered());
}

namespace
{
// Stands in for the platform's audio set-up test, which Wine does not
// implement: answers the query and the wizard as told, records the calls.
class FakeVoiceTest : public IDirectPlayVoiceTest
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE CheckAudioSetup(const GUID* playback, const GUID* capture,
                                              HWND parent, DWORD flags) override
    {
        const bool query = flags == DVFLAGS_QUERYONLY;
        (query ? queries : runs)++;
        devicesAreTheDefaultVoiceOnes = devicesAreTheDefaultVoiceOnes && playback && capture &&
                                        *playback == DSDEVID_DefaultVoicePlayback &&
                                        *capture == DSDEVID_DefaultVoiceCapture;
        if (!query)
        {
            runFlags = flags;
            runWindow = parent;
        }
        return query ? queryAnswer : runAnswer;
    }

    HRESULT queryAnswer = DVERR_RUNSETUP, runAnswer = DV_FULLDUPLEX;
    int queries = 0, runs = 0;
    ULONG references = 1;
    DWORD runFlags = 99;
    HWND runWindow = nullptr;
    bool devicesAreTheDefaultVoiceOnes = true;
};

// A real window to own the boxes.
HWND OwnerWindow()
{
    static const HWND window = CreateWindowExA(0, "STATIC", "voice owner", WS_POPUP, 0, 0, 10, 10,
                                               nullptr, nullptr, nullptr, nullptr);
    return window;
}

void RunFlow(FakeVoiceTest& fake)
{
    tavVoiceTest voiceTest;
    voiceTest.test = &fake;
    tavVoiceTest::RunSetupFlow(voiceTest, OwnerWindow());
    EXPECT_EQ(voiceTest.test, nullptr) << "the flow releases the test object";
    EXPECT_EQ(fake.references, 0u);
}
} // namespace

TEST(VoiceSetupFlow, OnlyAComputerWhoseWizardNeverRanIsAsked)
{
    for (HRESULT answer : {DV_FULLDUPLEX, DV_HALFDUPLEX, E_NOTIMPL, S_OK})
    {
        FakeVoiceTest fake;
        fake.queryAnswer = answer;
        DialogAnswerer never("Run setup?", IDYES);
        RunFlow(fake);
        Sleep(200);
        EXPECT_FALSE(never.Answered()) << std::hex << answer;
        EXPECT_EQ(fake.queries, 1);
        EXPECT_EQ(fake.runs, 0);
    }
}

TEST(VoiceSetupFlow, YesRunsTheWizardAndSaysWhatTheComputerCanDoNoRunsNothing)
{
    const std::string question =
        "To use the DirectPlay voice features, you must first run the wizard.\n Would you like to "
        "run the DirectPlayVoice Setup Wizard now?\nNOTE: You will only have to do this once.";
    const struct
    {
        int button;        // the answer to the question
        HRESULT runAnswer; // what the wizard gives
        const char* done;  // the text of "Setup Complete", or null for none
    } cases[] = {
        {IDYES, DV_FULLDUPLEX,
         "Your computer supports full duplex. This means you will\nbe able to speak and listen "
         "at the same time."},
        {IDYES, DV_HALFDUPLEX,
         "Your computer only supports half duplex. This means you will\nnot be able to speak "
         "and listen at the same time."},
        {IDYES, E_FAIL, nullptr},       // the wizard failed or was cancelled: nothing more is said
        {IDNO, DV_FULLDUPLEX, nullptr}, // No: the wizard does not run
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.button) + " " + std::to_string(c.runAnswer));
        FakeVoiceTest fake;
        fake.runAnswer = c.runAnswer;
        DialogAnswerer ask("Run setup?", c.button);
        DialogAnswerer done("Setup Complete", IDOK);
        RunFlow(fake);
        if (!c.done) Sleep(200);
        EXPECT_TRUE(ask.Answered());
        EXPECT_EQ(ask.Text(), question);
        EXPECT_EQ(fake.runs, c.button == IDYES ? 1 : 0);
        EXPECT_EQ(done.Answered(), c.done != nullptr);
        if (c.done)
        {
            EXPECT_EQ(done.Text(), c.done);
        }
        if (c.button == IDYES)
        {
            EXPECT_EQ(fake.runFlags, 0u);
            EXPECT_EQ(fake.runWindow, OwnerWindow());
            EXPECT_TRUE(fake.devicesAreTheDefaultVoiceOnes);
        }
    }
}
