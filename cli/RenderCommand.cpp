// morvex-cli render: the result view's picture of a model, drawn headless into a file.
#include "cli/Commands.h"

#ifndef MORVEX_HAS_RENDER

#include <cstdio>

// Built without Qt (the fuzz build): the command exists but cannot draw.
int RenderCommand(const std::vector<std::string>&) {
    std::fputs("morvex-cli render: this build has no drawing (built without the desktop parts)\n",
               stderr);
    return kExitFailed;
}

#else

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "cli/HeadlessQt.h"
#include "dynamics/ResponseExtraction.h"
#include "engine/AnalysisRun.h"
#include "engine/PlaneFrame.h"
#include "export/DxfSurface.h"
#include "liveload/Combination.h"
#include "liveload/Envelope.h"
#include "liveload/LiveLoad.h"
#include "liveload/LiveLoadPlacement.h"
#include "platform/TextFile.h"
#include "view/MorvexView.h"
#include "view/ViewCommands.h"
#include "view/ViewFrame.h"
#include "view/qt/QtSurface.h"
#include "view/qt/ViewRender.h"

namespace {

const char* const kRenderHelp =
    "usage: morvex-cli render MODEL.fem --graph KIND [--case K] [--line K] [--entry E]\n"
    "                         [--type T] [--mode K] [--step K] [--magnify N] [--size WxH]\n"
    "                         [--moment] [--dpi D] [--no-caption] [--name NAME]\n"
    "                         [--quantity Q] [--file COMB]\n"
    "                         --out FILE.png|FILE.svg|FILE.dxf\n"
    "\n"
    "Analyses the data file and draws one graph of the result window into a PNG or SVG\n"
    "file, as a window of that size shows it right after opening the file, or into a DXF\n"
    "drawing: the structure at its real size in metres, the diagrams at the window's\n"
    "scale, on the layers 结构, 节点号, 单元号, 图形, 标注 and 支座.\n"
    "\n"
    "  --graph KIND  0 structure, 1 displaced shape, 2 bending moment, 3 shear force,\n"
    "                4 axial force, 5 moment envelope, 6 shear envelope, 7 axial force\n"
    "                envelope, 8 influence line, 9 mode shape, 10 upper-edge tensile\n"
    "                stress, 11 lower-edge tensile stress, 12 dynamic response,\n"
    "                13 or combination: the combined envelope of a load combination\n"
    "  --case K      load case (1-based, default 1) of graphs 1 to 4, 10 and 11\n"
    "  --line K      influence line (1-based, default 1) of graph 8\n"
    "  --entry E     graph 8: place entry E (1 to 34) of the live-load list at its worst\n"
    "                position, as the window's live-load selector does (writes\n"
    "                MODEL_活载.fem)\n"
    "  --type T      graphs 5 to 7: live-load type 0 to 13 (default 1); an envelope\n"
    "                file that does not exist yet is computed first\n"
    "  --mode K      graph 9: mode K (1-based, by ascending frequency, default 1); the\n"
    "                natural vibration is analysed first\n"
    "  --step K      graph 12: record K (1-based, default 1) of the response to\n"
    "                dynamic_load.txt (beside MODEL.fem, else in the working\n"
    "                directory), computed first into MODEL.tim\n"
    "  --name NAME   graph 13: the combination (default the first of the file); its\n"
    "                files are computed first when missing, as morvex-cli combine does\n"
    "  --quantity Q  graph 13: 1 axial force, 2 shear force, 3 bending moment (default)\n"
    "  --file COMB   graph 13: the combination file (default MODEL_组合.txt)\n"
    "  --moment      graph 12: the bending moment at that step instead of the displaced\n"
    "                shape\n"
    "  --size WxH    picture size in pixels (default 1200x800)\n"
    "  --dpi D       dots per inch of the picture (default 96); the drawing is metric,\n"
    "                so labels and symbols keep their size in millimetres\n"
    "  --magnify N   press the magnify button N times (each doubles the ordinates)\n"
    "  --no-caption  leave out the caption line under the drawing\n"
    "  --out FILE    the picture; its extension chooses PNG, SVG or DXF\n"
    "\n"
    "The caption of the graph (what the window shows in its status bar) is written in the\n"
    "bottom-left corner of the picture and printed on stdout.\n";

int Usage(const std::string& why) {
    std::fprintf(stderr, "morvex-cli render: %s\n\n%s", why.c_str(), kRenderHelp);
    return kExitUsage;
}

bool ParseInt(const std::string& text, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < -1000000000L || v > 1000000000L) return false;
    value = static_cast<int>(v);
    return true;
}

bool HasPictureExtension(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".png" || ext == ".svg" || ext == ".dxf";
}

bool HasDxfExtension(const std::string& path) {
    return path.size() >= 4 && HasPictureExtension(path) &&
           std::tolower(static_cast<unsigned char>(path[path.size() - 1])) == 'f';
}

bool IsDrawableKind(int kind) {
    return kind >= 0 && kind < graph::kCount;
}

}  // namespace

int RenderCommand(const std::vector<std::string>& args) {
    std::string model, out;
    int kind = -1, caseNumber = 1, lineNumber = 1, width = 1200, height = 800, dpi = 96;
    int magnify = 0, entry = 0, type = 1, mode = 1, step = 1, quantity = 3;
    std::string combinationName, combinationFile;
    int combinationIndex = 0;
    bool caption = true, moment = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kRenderHelp, stdout);
            return kExitOk;
        }
        const bool takesValue = a == "--graph" || a == "--case" || a == "--line" || a == "--size" ||
                                a == "--dpi" || a == "--out" || a == "--magnify" ||
                                a == "--entry" || a == "--type" || a == "--mode" || a == "--step" ||
                                a == "--name" || a == "--quantity" || a == "--file";
        if (takesValue && i + 1 >= args.size()) return Usage(a + " needs a value");
        if (a == "--graph") {
            if (args[i + 1] == "combination")
                kind = graph::kCombination, ++i;
            else if (!ParseInt(args[++i], kind) || !IsDrawableKind(kind))
                return Usage("unknown graph kind " + args[i]);
        } else if (a == "--name") {
            combinationName = args[++i];
        } else if (a == "--file") {
            combinationFile = args[++i];
        } else if (a == "--quantity") {
            if (!ParseInt(args[++i], quantity) || quantity < 1 || quantity > 3)
                return Usage("bad quantity " + args[i] + " (1 to 3)");
        } else if (a == "--case") {
            if (!ParseInt(args[++i], caseNumber) || caseNumber < 1)
                return Usage("bad load case " + args[i]);
        } else if (a == "--line") {
            if (!ParseInt(args[++i], lineNumber) || lineNumber < 1)
                return Usage("bad influence line " + args[i]);
        } else if (a == "--entry") {
            if (!ParseInt(args[++i], entry) || entry < 0 || entry >= kLiveLoadEntries)
                return Usage("bad live-load entry " + args[i] + " (0 to 34)");
        } else if (a == "--type") {
            if (!ParseInt(args[++i], type) || type < 0 || type >= kLiveLoadTypes)
                return Usage("bad live-load type " + args[i] + " (0 to 13)");
        } else if (a == "--mode") {
            if (!ParseInt(args[++i], mode) || mode < 1) return Usage("bad mode " + args[i]);
        } else if (a == "--step") {
            if (!ParseInt(args[++i], step) || step < 1) return Usage("bad step " + args[i]);
        } else if (a == "--size") {
            const std::string& v = args[++i];
            const size_t x = v.find('x');
            if (x == std::string::npos || !ParseInt(v.substr(0, x), width) ||
                !ParseInt(v.substr(x + 1), height) || width < 16 || height < 16 || width > 20000 ||
                height > 20000)
                return Usage("bad size " + v + " (WxH, 16 to 20000 pixels each)");
        } else if (a == "--dpi") {
            if (!ParseInt(args[++i], dpi) || dpi < 10 || dpi > 2400)
                return Usage("bad dpi " + args[i] + " (10 to 2400)");
        } else if (a == "--magnify") {
            if (!ParseInt(args[++i], magnify) || magnify < 0 || magnify > 60)
                return Usage("bad magnify count " + args[i] + " (0 to 60)");
        } else if (a == "--moment") {
            moment = true;
        } else if (a == "--no-caption") {
            caption = false;
        } else if (a == "--out") {
            out = args[++i];
        } else if (!a.empty() && a[0] == '-') {
            return Usage("unknown option " + a);
        } else if (model.empty()) {
            model = a;
        } else {
            return Usage("more than one data file");
        }
    }
    if (model.empty()) return Usage("no data file given");
    if (kind < 0) return Usage("no --graph given");
    if (out.empty()) return Usage("no --out file given");
    if (moment && kind != 12) return Usage("--moment goes with --graph 12");
    if (!HasPictureExtension(out)) return Usage("the output file must end in .png, .svg or .dxf");

    // Headless: the picture is drawn by the window's own code on an offscreen platform.
    const CHeadlessQt qt("render");

    std::unique_ptr<CPlaneFrame> frame = RunAnalysis(model);
    if (!frame) return kExitFailed;
    // The mode shapes and the dynamic response need no load case.
    if ((kind != 8 && kind != 0 && kind != 9 && kind != 12 && kind != graph::kCombination &&
         caseNumber > frame->m_nCases) ||
        (kind == 8 && lineNumber > frame->m_nIlLines)) {
        std::fprintf(stderr,
                     "morvex-cli render: the model has %d load case(s) and %d "
                     "influence line(s)\n",
                     frame->m_nCases, frame->m_nIlLines);
        return kExitUsage;
    }

    const bool envelope = kind >= 5 && kind <= 7;
    if (envelope && !std::filesystem::exists(frame->EnvelopeBinaryPath(type, 8 - kind))) {
        std::fprintf(stderr, "morvex-cli render: computing the envelope first\n");
        if (!frame->ComputeEnvelope(type, 8 - kind)) return kExitFailed;
    }
    // A missing, cut or foreign envelope file is reported, not drawn as a bare structure.
    EnvelopeData envelopeData;
    if (envelope && !frame->ReadEnvelope(type, 8 - kind, envelopeData)) return kExitFailed;

    // The combination drawn: its name from the combination file (or, without one, from the
    // files already written), its files computed first when missing.
    std::vector<std::string> combinations;
    if (kind == graph::kCombination) {
        if (combinationFile.empty()) combinationFile = frame->m_baseName + "_组合.txt";
        std::vector<Combination> all;
        if (std::filesystem::exists(combinationFile)) {
            if (!ReadCombinationFile(combinationFile, frame->m_nCases, all)) return kExitFailed;
            for (const Combination& c : all) combinations.push_back(c.name);
        } else {
            combinations = CombinationNamesOnDisk(*frame);
        }
        if (combinations.empty()) {
            std::fprintf(stderr, "morvex-cli render: no combination file %s\n",
                         combinationFile.c_str());
            return kExitFailed;
        }
        if (combinationName.empty()) combinationName = combinations.front();
        const auto at = std::find(combinations.begin(), combinations.end(), combinationName);
        if (at == combinations.end()) {
            std::fprintf(stderr, "morvex-cli render: no combination named %s\n",
                         combinationName.c_str());
            return kExitUsage;
        }
        if (!std::filesystem::exists(frame->CombinationBinaryPath(combinationName))) {
            std::fprintf(stderr, "morvex-cli render: computing the combination first\n");
            if (!frame->RunCombinations(combinationFile, combinationName)) return kExitFailed;
        }
        EnvelopeData data;
        if (!ReadCombinationEnvelope(*frame, combinationName, quantity, data)) return kExitFailed;
        combinationIndex = 3 * static_cast<int>(at - combinations.begin()) + 3 - quantity;
    }

    CPlainViewDocument document(frame.get());
    if (kind == 9) {
        std::fprintf(stderr, "morvex-cli render: analysing the natural vibration\n");
        if (!document.StartNaturalVibration()) return kExitFailed;
        if (mode > frame->m_nModes) {
            std::fprintf(stderr, "morvex-cli render: the model has %d mode(s)\n", frame->m_nModes);
            return kExitUsage;
        }
    }
    if (kind == 12) {
        // Computed afresh, so that the excitation symbols belong to the response drawn.
        std::fprintf(stderr, "morvex-cli render: computing the dynamic response first\n");
        if (!frame->DynamicResponse(SideFilePath(frame->m_baseName, kDynamicLoadFile))) return kExitFailed;
        const long long records = CheckedResponseRecords(*frame);
        if (records < 0) return kExitFailed;
        if (step > records) {
            std::fprintf(stderr, "morvex-cli render: %s holds %lld record(s)\n",
                         frame->ResponsePath().c_str(), records < 0 ? 0 : records);
            return kExitUsage;
        }
    }

    CPlainViewFrame viewFrame;
    CNullViewWindow window;
    CMorvexView view(viewFrame, window);
    view.SetDocument(&document);
    view.InitialUpdate(frame.get());
    view.m_modeIndex = mode - 1;
    view.m_timeIndex = step - 1;
    view.m_caseIndex = caseNumber - 1;
    view.m_lineIndex = lineNumber - 1;
    view.m_envelopeType = type;
    view.m_combinations = combinations;
    view.m_combinationIndex = combinationIndex;
    if (kind != 0) view.OnGraphSelector(kind);
    if (kind == 12 && moment) view.Execute(ID_DYNAMIC_MOMENT);
    if (kind == 8 && entry > 0) {
        view.OnLiveLoadChoice(entry);
        if (view.m_liveLoadClass < 0) return kExitFailed;  // after its message
    }
    if (view.m_graphKind != kind) {
        std::fprintf(stderr, "morvex-cli render: graph %d has no data in this model\n", kind);
        return kExitFailed;
    }

    for (int i = 0; i < magnify; ++i) view.Execute(ID_MAGNIFY);

    if (HasDxfExtension(out)) {
        view.SetClientSize(width, height, 254.0 / dpi);
        if (!WriteViewDxf(view, out, caption)) return kExitFailed;
        std::printf("%s\nwrote %s (the view of %dx%d pixels, %d dpi)\n", view.Caption().c_str(),
                    out.c_str(), width, height, dpi);
        return kExitOk;
    }
    std::string error;
    if (!RenderViewToFile(view, width, height, dpi, out, caption, error)) {
        std::fprintf(stderr, "morvex-cli render: %s\n", error.c_str());
        return kExitFailed;
    }
    std::printf("%s\nwrote %s (%dx%d pixels, %d dpi)\n", view.Caption().c_str(), out.c_str(), width,
                height, dpi);
    return kExitOk;
}

#endif  // MORVEX_HAS_RENDER
