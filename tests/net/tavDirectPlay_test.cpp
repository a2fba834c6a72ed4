// DirectPlay 8 and DirectPlay Voice through the engine's wrappers. Where Wine 8
// answers E_NOTIMPL or a stub (Host, Connect, CheckAudioSetup) the tests check
// the engine's side: the arguments read back, the results handed on, the error
// paths. Only 127.0.0.1 is named.
#include "support/DialogAnswerer.h"

#include "net/tavDPClient.h"
#include "net/tavDPServer.h"
#include "net/tavVoiceTest.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// {6B1A2F3C-2E51-4B8F-9C1D-7A3B5C2D1E0F}, an application of the tests.
const GUID TestApplication = {
    0x6b1a2f3c, 0x2e51, 0x4b8f, {0x9c, 0x1d, 0x7a, 0x3b, 0x5c, 0x2d, 0x1e, 0x0f}};

HRESULT WINAPI Handler(void*, DWORD, void*)
{
    return S_OK;
}

// The port and the service provider on an address: "2502 tcp", "0 tcp"...
std::string PortAndSP(IDirectPlay8Address* address)
{
    DWORD port = 0, size = sizeof port, type = 0;
    GUID sp = {};
    address->GetComponentByName(DPNA_KEY_PORT, &port, &size, &type);
    address->GetSP(&sp);
    return std::to_string(type == DPNA_DATATYPE_DWORD ? port : 0) +
           (sp == CLSID_DP8SP_TCPIP ? " tcp" : " other");
}
} // namespace

// Wine 8's Host is E_NOTIMPL and its Connect a stub that answers S_OK and connects
// nowhere: the results come back unchanged, and the addresses read back.
TEST(DirectPlay, AddressesAndResultsThoughThePlatformCannotRunASession)
{
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    tavDPServer server;
    tavDPClient client;
    tavVoiceTest test;
    EXPECT_EQ(std::vector<HRESULT>({server.Host(TestApplication, "Session", 2502, 8, nullptr),
                                    client.Connect(TestApplication, "127.0.0.1", 2502, nullptr),
                                    test.IsSetupNeeded()}),
              std::vector<HRESULT>(3, E_FAIL))
        << "before Create";
    ASSERT_NO_THROW(server.Create(Handler, nullptr));
    EXPECT_EQ(server.Host(TestApplication, "Session", 2502, 8, "secret"), E_NOTIMPL);
    EXPECT_EQ(PortAndSP(server.deviceAddress), "2502 tcp");
    ASSERT_NO_THROW(server.Create(Handler, nullptr)); // the old interfaces go, new ones come
    EXPECT_EQ(PortAndSP(server.deviceAddress), "0 tcp");
    ASSERT_NO_THROW(client.Create(Handler, nullptr));
    EXPECT_EQ(client.Connect(TestApplication, "127.0.0.1", 2503, "secret"), S_OK);
    EXPECT_EQ(PortAndSP(client.hostAddress) + ", " + PortAndSP(client.deviceAddress),
              "2503 tcp, 0 tcp");
    server.Release();
    server.Release();
    client.Release();
    EXPECT_EQ(client.hostAddress, nullptr);
    EXPECT_EQ(std::make_pair(server.Close(), client.CancelConnect()),
              std::make_pair(E_FAIL, E_FAIL));
    ASSERT_NO_THROW(test.Create());
    EXPECT_EQ(test.IsSetupNeeded(), E_NOTIMPL);
    CoUninitialize();
}

namespace
{
// Stands in for the platform's audio set-up test, which Wine does not implement:
// answers the query and the wizard as told, records the calls.
struct FakeVoiceTest : IDirectPlayVoiceTest
{
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
        if (flags == DVFLAGS_QUERYONLY) return ++queries, queryAnswer;
        runs.push_back(*playback == DSDEVID_DefaultVoicePlayback &&
                       *capture == DSDEVID_DefaultVoiceCapture && parent == owner && flags == 0);
        return runAnswer;
    }
    HRESULT queryAnswer, runAnswer;
    HWND owner;
    int queries = 0;
    ULONG references = 1;
    std::vector<bool> runs; // each with the default voice devices, the owner and no flags
};
} // namespace

// Only a computer whose wizard never ran is asked; Yes runs the wizard and says
// what the computer can do, No runs nothing.
TEST(VoiceSetupFlow, OnlyAComputerWhoseWizardNeverRanIsAskedAndYesRunsTheWizard)
{
    const HWND owner = CreateWindowExA(0, "STATIC", "voice owner", WS_POPUP, 0, 0, 10, 10, nullptr,
                                       nullptr, nullptr, nullptr);
    const char* const full = "Your computer supports full duplex. This means you will\nbe able "
                             "to speak and listen at the same time.";
    const char* const half = "Your computer only supports half duplex. This means you will\nnot "
                             "be able to speak and listen at the same time.";
    const struct
    {
        HRESULT queryAnswer;
        int button;        // the answer to the question, 0 for none asked
        HRESULT runAnswer; // what the wizard gives
        const char* done;  // the text of "Setup Complete", or "" for none
    } cases[] = {
        {DV_FULLDUPLEX, 0, DV_FULLDUPLEX, ""},        {E_NOTIMPL, 0, DV_FULLDUPLEX, ""},
        {DVERR_RUNSETUP, IDYES, DV_FULLDUPLEX, full}, {DVERR_RUNSETUP, IDYES, DV_HALFDUPLEX, half},
        {DVERR_RUNSETUP, IDYES, E_FAIL, ""}, // failed or cancelled: nothing more is said
        {DVERR_RUNSETUP, IDNO, DV_FULLDUPLEX, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.queryAnswer) + " " + std::to_string(c.button) + " " +
                     std::to_string(c.runAnswer));
        FakeVoiceTest fake;
        fake.queryAnswer = c.queryAnswer;
        fake.runAnswer = c.runAnswer;
        fake.owner = owner;
        DialogAnswerer ask("Run setup?", c.button ? c.button : IDYES);
        DialogAnswerer done("Setup Complete", IDOK);
        tavVoiceTest voiceTest;
        voiceTest.test = &fake;
        tavVoiceTest::RunSetupFlow(voiceTest, owner);
        EXPECT_EQ(voiceTest.test, nullptr) << "the flow releases the test object";
        EXPECT_EQ(fake.references, 0u);
        if (!*c.done) Sleep(200);
        EXPECT_EQ(fake.queries, 1);
        EXPECT_EQ(ask.Text().find("Would you like to run the DirectPlayVoice Setup Wizard now?"),
                  c.button ? 70u : std::string::npos)
            << ask.Text();
        EXPECT_EQ(fake.runs, std::vector<bool>(c.button == IDYES, true));
        EXPECT_EQ(done.Text(), c.done);
    }
    DestroyWindow(owner);
}
