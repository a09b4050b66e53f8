#include "OperatorCheck.h"

#include <commctrl.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "Console.h"
#include "hostkit/JsonConfig.h"

namespace {

int g_failures = 0;

void Check(bool ok, const char* what)
{
    Print("check: %-64s %s", what, ok ? "ok" : "FAILED");
    if (!ok)
        ++g_failures;
}

std::string ItemText(HWND dialog, int id)
{
    const HWND item = GetDlgItem(dialog, id);
    std::string text(static_cast<size_t>(GetWindowTextLengthA(item)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(item, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool Checked(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The pixel at a point of the sensors frame, given in the frame's own pixels.
COLORREF FramePixel(HWND sensors, int x, int y)
{
    const HWND frame = GetDlgItem(sensors, 2028);
    HDC dc = GetDC(frame);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(frame, dc);
    return colour;
}

}  // namespace

int RunOperatorCheck(Installation& inst, hostkit::Host& host, unsigned codePage, const std::string& originalText,
                     const std::string& savedFile, double seconds)
{
    g_failures = 0;
    brin::ConfigNode* root = host.GetConfig();

    // Setup editor: shows the configuration; a changed value goes in with Update, out with Save.
    const int maxSprites = static_cast<int>(root->ReadFloat("Portes.max_sprites"));
    Check(ItemText(inst.setupWindow, 2012) == std::to_string(maxSprites), "setup editor shows max sprites");
    SetWindowTextA(GetDlgItem(inst.setupWindow, 2012), std::to_string(maxSprites + 1).c_str());
    Click(inst.setupWindow, IDOK);
    Check(root->ReadFloat("Portes.max_sprites") == static_cast<float>(maxSprites + 1),
          "Update wrote the new max sprites into the configuration");
    Click(inst.setupWindow, IDCANCEL);
    Check(host.saves.size() == 1, "Save asked the host to save once");
    const std::vector<std::string> before = Lines(originalText), after = Lines(ReadFile(savedFile));
    size_t differing = 0;
    bool onlyMaxSprites = before.size() == after.size();
    for (size_t i = 0; onlyMaxSprites && i < before.size(); ++i)
        if (before[i] != after[i]) {
            ++differing;
            onlyMaxSprites =
                after[i].find("\"max_sprites\": " + std::to_string(maxSprites + 1) + ".0") != std::string::npos;
        }
    Check(onlyMaxSprites && differing == 1, "the saved file differs from the loaded one by that value alone");
    std::string error, reformatted;
    const brin::CountedRef<hostkit::ConfigSection> reloaded = hostkit::LoadConfigFile(savedFile, codePage, &error);
    Check(reloaded && hostkit::FormatConfig(*reloaded, codePage, &reformatted, &error) &&
              reformatted == ReadFile(savedFile),
          "the saved file reloads identically");

    // Slaves: the boxes show the mask; a click reaches the host.
    bool maskShown = true;
    for (int n = 1; n <= 7; ++n)
        maskShown = maskShown && Checked(inst.slavesWindow, 2038 + n) == (((0x5F >> (n - 1)) & 1) != 0);
    Check(maskShown, "slaves window shows the host's mask");
    Click(inst.slavesWindow, 2038 + 6);
    Check(Checked(inst.slavesWindow, 2038 + 6), "slave 6 box toggled on");

    // Log and profiling tables.
    const HWND logList = GetDlgItem(inst.logWindow, 2000);
    Check(SendMessageA(logList, LVM_GETITEMCOUNT, 0, 0) >= 4, "log window holds lines");
    const HWND profilingList = GetDlgItem(inst.profilingWindow, 2000);
    Check(SendMessageA(profilingList, LVM_GETITEMCOUNT, 0, 0) == 21, "profiling table holds 7 clients x 3 rows");
    Check(ItemText(inst.profilingWindow, 2005) != "Static", "profiling window shows the frame rate");

    // Sensors: the zones are drawn, and the mouse steers tracker 1 (its "mouseSimul" is on).
    RECT frame{};
    GetClientRect(GetDlgItem(inst.sensorsWindow, 2028), &frame);
    inst.Frame(seconds);
    Check(FramePixel(inst.sensorsWindow, frame.right * 20 / 100, frame.bottom * 88 / 100) == RGB(0, 96, 96),
          "sensors frame shows zone \"Porte A\"");
    POINT centre{frame.right / 2, frame.bottom / 2};
    MapWindowPoints(GetDlgItem(inst.sensorsWindow, 2028), inst.sensorsWindow, &centre, 1);
    SendMessageA(inst.sensorsWindow, WM_MOUSEMOVE, 0, MAKELPARAM(centre.x, centre.y));
    inst.Frame(seconds + 0.05);
    Check(FramePixel(inst.sensorsWindow, frame.right / 2 - 3, frame.bottom / 2 - 3) == RGB(255, 64, 64),
          "tracker 1 follows the mouse to the frame's centre");
    const bool simulated = Checked(inst.sensorsWindow, 2038);
    Click(inst.sensorsWindow, 2038);
    Click(inst.sensorsWindow, 2027);
    brin::ConfigNode* tracker = root->ReadNode("Trackers.Tracker", Installation::kSensorsTracker);
    Check(tracker && tracker->ReadBool("mouseSimul") == !simulated, "sensors Update switched \"mouseSimul\"");

    // Close boxes: every window goes off screen, through the listener or by itself.
    for (HWND hwnd : {inst.setupWindow, inst.sensorsWindow, inst.slavesWindow, inst.logWindow, inst.profilingWindow})
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
    // The dialog manager may post the cancel command a close box turns into.
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
        DispatchMessageA(&msg);
    Check(!inst.AnyWindowShown(), "every close box hid its window");
    return g_failures;
}
