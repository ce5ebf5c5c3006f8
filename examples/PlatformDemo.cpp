// SPDX-License-Identifier: GPL-2.0-or-later
// A small program that shows the platform layer at work: a dialog with every kind of native
// control, beside a custom window that draws a response curve with the drawing context.
//
//   platform_demo                    run it
//   platform_demo --first-paint-exit exit as soon as the curve window has painted once
//                                    (used to measure the launch time)
#include "base/ZFile.h"
#include "platform/Platform.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

using namespace plat;

namespace {

enum Id {
    kElements = 1000,
    kElementsSlider = 1011,
    kInch = 1019,
    kCurve = 1018,
    kConfigs = 1024,
    kFind = 1001,
    kLog = 1030,
    kPicture = 1031,
    kCopy = 1025,
    kMenu = 1026,
    kSave = 1027,
    kAbout = 1023,
};

bool s_exitAfterPaint = false;

// The curve window: an ideal Chebyshev-like pass band drawn with the context.
class CurveWindow : public WindowCB
{
public:
    int elements = 5;
    Window* tip = nullptr;

    void Paint(DrawContext& dc, const Rect& r) const
    {
        dc.FillRect(r, Rgb(0, 0, 64));
        const Rect plot{r.left + 50, r.top + 30, r.right - 25, r.bottom - 35};
        dc.SetPen({Rgb(128, 128, 128), 1, PenStyle::Dot});
        for (int i = 0; i <= 10; ++i) {
            const int x = plot.left + plot.Width() * i / 10;
            const int y = plot.top + plot.Height() * i / 10;
            dc.Line({x, plot.top}, {x, plot.bottom});
            dc.Line({plot.left, y}, {plot.right, y});
        }
        dc.SetPen({Rgb(255, 255, 0), 2, PenStyle::Solid});
        std::vector<Point> pts;
        for (int i = 0; i <= 200; ++i) {
            const double f = -2.0 + 4.0 * i / 200.0; // normalised frequency
            const double t = std::abs(f) <= 1 ? std::cos(elements * std::acos(f))
                                              : std::cosh(elements * std::acosh(std::abs(f)));
            const double lossDb = 10 * std::log10(1 + 0.2589 * t * t);
            const double y = std::min(100.0, lossDb);
            pts.push_back({plot.left + int(plot.Width() * i / 200.0),
                           plot.top + int(plot.Height() * y / 100.0)});
        }
        dc.Polyline(pts);
        dc.SetFont({"Arial", 90, FontWeight::Normal, false});
        dc.SetTextColor(Rgb(255, 255, 0));
        dc.SetTextAlign(TextAlign::kRight | TextAlign::kTop);
        for (int i = 0; i <= 10; i += 2)
            dc.TextOut({plot.left - 4, plot.top + plot.Height() * i / 10 - 6},
                       std::to_string(-10 * i));
        dc.SetTextAlign(TextAlign::kCenter | TextAlign::kTop);
        for (int i = 0; i <= 10; i += 2)
            dc.TextOut({plot.left + plot.Width() * i / 10, plot.bottom + 4},
                       std::to_string(1130 + 14 * i));
        dc.SetTextAlign(TextAlign::kLeft | TextAlign::kTop);
        dc.TextOut({4, plot.top - 18}, "dB");
        dc.TextOut({plot.right - 30, plot.bottom + 18}, "MHz");
        dc.SetFont({"Arial", 140, FontWeight::Bold, false});
        Rect title{r.left, r.top + 4, r.right, r.top + 28};
        dc.DrawText("Interdigital Bandpass (" + std::to_string(elements) + " rods)", title,
                    DrawTextFlags::kCenter | DrawTextFlags::kSingleLine);
        dc.SetPen({Rgb(0, 255, 0), 2, PenStyle::Solid});
        dc.SetBrush(Brush::Hollow());
        dc.Rectangle(plot.Inflate(1, 1));
        dc.SetBrush(Brush::Solid(Rgb(255, 0, 0)));
        dc.SetPen({Rgb(255, 255, 255), 1, PenStyle::Solid});
        dc.Ellipse(Rect::FromXYWH(plot.left + plot.Width() / 2 - 5, plot.top + 2, 10, 10));
    }

    bool OnPaint(Window& wnd, DrawContext& dc, const Rect&) override
    {
        Paint(dc, wnd.GetClientRect());
        if (s_exitAfterPaint)
            Quit(0);
        return true;
    }

    bool OnMessage(Window& wnd, const Message& m) override
    {
        switch (m.kind) {
        case Msg::SetCursor:
            wnd.SetCursor(Cursor::Standard(StdCursor::Cross));
            return true;
        case Msg::MouseMove: {
            if (!tip)
                return false;
            char text[64];
            std::snprintf(text, sizeof text, "x=%d y=%d", m.pt.x, m.pt.y);
            tipText = text;
            const Point s = wnd.ClientToScreen({m.pt.x + 16, m.pt.y + 16});
            tip->Move(Rect::FromXYWH(s.x, s.y, 110, 20));
            tip->Show(true);
            tip->Invalidate();
            return true;
        }
        case Msg::RButtonDown: {
            MenuItem copy;
            copy.text = "Copy Img";
            copy.id = 1;
            MenuItem tools;
            tools.kind = MenuItem::Kind::Submenu;
            tools.text = "Tools";
            MenuItem values;
            values.text = "Cursor Values";
            values.id = 2;
            values.checked = true;
            tools.children.push_back(values);
            const uint32_t id =
                TrackPopupMenu({copy, MenuItem::Separator(), tools}, m.screenPt, &wnd);
            if (id == 1) {
                const Rect r = wnd.GetClientRect();
                Image img(r.Width(), r.Height());
                Paint(img.Context(), r);
                SetClipboardImage(img);
            }
            return true;
        }
        default:
            return false;
        }
    }
    std::string tipText;
};

class TipWindow : public WindowCB
{
public:
    const std::string* text = nullptr;
    bool OnPaint(Window& wnd, DrawContext& dc, const Rect&) override
    {
        const Rect r = wnd.GetClientRect();
        dc.SetPen({0, 1, PenStyle::Solid});
        dc.SetBrush(Brush::Solid(Rgb(255, 255, 225)));
        dc.Rectangle(r);
        dc.SetFont({"Fixedsys", 90, FontWeight::Normal, false});
        Rect t = r.Inflate(-4, 0);
        dc.DrawText(text ? *text : "", t, DrawTextFlags::kSingleLine | DrawTextFlags::kVCenter);
        return true;
    }
};

class DemoDialog : public WindowCB
{
public:
    CurveWindow curveCB;
    Window curve{curveCB};
    TipWindow tipCB;
    Window tip{tipCB};

    bool OnMessage(Window& wnd, const Message& m) override
    {
        auto& dlg = static_cast<Dialog&>(wnd);
        switch (m.kind) {
        case Msg::InitDialog:
            Init(dlg);
            return true;
        case Msg::Timer:
            // Only the control with the focus moves its partner, as in the calculator.
            if (dlg.GetFocusControl() == kElementsSlider)
                dlg.SetText(kElements, std::to_string(dlg.GetSliderPos(kElementsSlider)));
            else if (dlg.GetFocusControl() == kElements)
                dlg.SetSliderPos(kElementsSlider, std::atoi(dlg.GetText(kElements).c_str()));
            return true;
        case Msg::Command:
            return Command(dlg, int(m.id), m.code);
        default:
            return false;
        }
    }

private:
    void Log(Dialog& dlg, const std::string& line)
    {
        dlg.AddString(kLog, line);
        dlg.SetCurSel(kLog, dlg.GetCount(kLog) - 1);
    }

    void Init(Dialog& dlg)
    {
        dlg.SetSliderRange(kElementsSlider, 2, 10);
        dlg.SetSliderPos(kElementsSlider, 5);
        for (const char* s : {"Default", "1296 MHz narrow", "2400 MHz wide"})
            dlg.AddString(kConfigs, s);
        dlg.SetCurSel(kConfigs, 0);
        for (const char* s : {"Elements", "Ripple", "Bandwidth"})
            dlg.AddString(kFind, s);
        // The picture: a box with five rods grounded at alternate ends.
        Image pic(120, 40);
        DrawContext& dc = pic.Context();
        dc.FillRect({0, 0, 120, 40}, Rgb(170, 170, 170));
        for (int i = 0; i < 5; ++i)
            dc.FillRect(Rect::FromXYWH(14 + i * 21, i % 2 ? 2 : 10, 8, 28), Rgb(200, 120, 40));
        dc.SetPen({0, 2, PenStyle::Solid});
        dc.SetBrush(Brush::Hollow());
        dc.Rectangle({0, 0, 120, 40});
        dlg.SetPicture(kPicture, pic);
        const Rect area = dlg.GetControlRect(kCurve);
        dlg.ShowControl(kCurve, false);
        curve.CreateChild(dlg, area, WindowStyle::kVisible | WindowStyle::kBorder, kCurve);
        tip.CreatePopup(Rect::FromXYWH(0, 0, 110, 20), 0);
        curveCB.tip = &tip;
        tipCB.text = &curveCB.tipText;
        dlg.SetTimer(4711, 200);
        Log(dlg, "Ready");
    }

    bool Command(Dialog& dlg, int id, uint32_t code)
    {
        switch (id) {
        case kElements:
            if (code == Notify::kEnChange) {
                const int n = std::atoi(dlg.GetText(kElements).c_str());
                if (n >= 2 && n <= 12 && n != curveCB.elements) {
                    curveCB.elements = n;
                    curve.Invalidate();
                }
            }
            return true;
        case kInch:
            Log(dlg, dlg.GetCheck(kInch) ? "Inch on" : "Inch off");
            return true;
        case kConfigs:
            if (code == Notify::kCbnSelChange)
                Log(dlg, "Configuration: " + dlg.GetText(kConfigs));
            return true;
        case kCopy:
            SetClipboardText(dlg.GetText(kElements));
            Log(dlg, "Copied " + dlg.GetText(kElements));
            return true;
        case kSave: {
            SaveFileRequest req;
            req.fileName = "curve.png";
            req.filters = {{"PNG", "*.png"}, {"SVG", "*.svg"}, {"PDF", "*.pdf"}};
            std::string path;
            if (SaveFileDialog(&dlg, req, path)) {
                const Rect r = curve.GetClientRect();
                const bool vector = path.size() > 4 && path.substr(path.size() - 4) != ".png";
                Image img(r.Width(), r.Height(), vector ? ImageKind::Vector : ImageKind::Raster);
                curveCB.Paint(img.Context(), r);
                const ImageFormat f = !vector                                  ? ImageFormat::PNG
                                      : path.substr(path.size() - 4) == ".svg" ? ImageFormat::SVG
                                                                               : ImageFormat::PDF;
                std::string bytes;
                int error = 0;
                if (!img.Encode(f, bytes)) {
                    Log(dlg, "Could not draw " + path);
                } else if (!ZReplaceFile(ZStr(path.c_str()), bytes.data(), bytes.size(), &error)) {
                    Log(dlg, "Could not write " + path + ": " + ZFileErrorText(error).Text());
                } else {
                    Log(dlg, "Saved " + path);
                }
            }
            return true;
        }
        case kAbout:
            ShowMessageBox(&dlg, "Platform layer demo\r\nFLTK windows, cairo drawing.", "About",
                           MessageBoxButtons::Ok);
            return true;
        default:
            return false;
        }
    }
};

DialogTemplate DemoTemplate()
{
    DialogTemplate t;
    t.caption = "Tessera platform demo";
    t.size = {420, 230};
    auto add = [&](ControlKind k, int id, const char* text, int x, int y, int w, int h,
                   uint32_t style = 0) {
        t.controls.push_back({k, id, text, Rect::FromXYWH(x, y, w, h), style});
    };
    add(ControlKind::DropDownList, kConfigs, "", 7, 6, 108, 12);
    add(ControlKind::Button, kCopy, "Copy", 118, 6, 28, 12);
    add(ControlKind::Button, kSave, "Save...", 148, 6, 30, 12);
    add(ControlKind::Static, -1, "Elements", 7, 26, 34, 8);
    add(ControlKind::Edit, kElements, "5", 42, 24, 26, 12);
    add(ControlKind::Slider, kElementsSlider, "", 71, 23, 100, 15);
    add(ControlKind::Static, -1, "Find", 7, 44, 34, 8);
    add(ControlKind::DropDownEdit, kFind, "", 42, 42, 80, 12);
    add(ControlKind::CheckBox, kInch, "Inch", 130, 43, 40, 10);
    add(ControlKind::Static, -1, "Read-only", 7, 62, 34, 8);
    add(ControlKind::Edit, 1032, "25.4 mm/inch", 42, 60, 80, 12, ControlStyle::kReadOnly);
    add(ControlKind::ListBox, kLog, "", 7, 78, 165, 112, ControlStyle::kVScroll);
    add(ControlKind::Picture, kPicture, "", 7, 196, 70, 28);
    add(ControlKind::Static, kCurve, "", 180, 6, 233, 192);
    add(ControlKind::Button, kAbout, "About", 260, 206, 46, 14);
    add(ControlKind::DefButton, kIdOk, "OK", 312, 206, 46, 14);
    add(ControlKind::Button, kIdCancel, "Cancel", 364, 206, 46, 14);
    return t;
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--first-paint-exit") == 0)
            s_exitAfterPaint = true;
    if (!InitDisplay()) {
        std::fprintf(stderr, "platform_demo: no display available\n");
        return 1;
    }
    DemoDialog cb;
    Dialog dlg(cb);
    if (s_exitAfterPaint) {
        // Modeless, so that the first paint can end the loop at once.
        if (!dlg.CreateModeless(DemoTemplate(), nullptr))
            return 1;
        return RunLoop();
    }
    const int code = dlg.DoModal(DemoTemplate());
    std::printf("dialog ended with %d\n", code);
    return 0;
}
