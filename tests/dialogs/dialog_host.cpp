// Runs one of the program's dialogs on its own, so that GUI tests can reach
// forms the program shows only in situations a test cannot stage (a failed
// picture in a transfer, a camera that is not found) or with a selection that
// only later parts of the program can make.
//
//   dialog_host error KIND SUB INTRANSFER [NAME]   CErrorDlg; exit code = Answer
//   dialog_host report KIND SUB PATH               ReportPictureError; exit code = Answer
//   dialog_host welcome startup|about CHECK        the welcome screen; exit code = the check afterwards
//   dialog_host connecting                         the connecting notice, until the process is ended
//   dialog_host main STATE STORED CAMERA DISK [take-all N | take-picked N STORED | take-disk N]
//       the main dialog on the registry's settings, with CAMERA camera and DISK disk pictures
//       already chosen, SourceState STATE and STORED pictures in the camera; the optional step
//       hands the dialog N new pictures as a selection dialog would. Exit code = modal result.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/ConnectingDlg.h"
#include "app/ErrorDlg.h"
#include "app/Help.h"
#include "app/MainDlg.h"
#include "app/Welcome.h"
#include "winui/Dialog.h"
#include "winui/Guard.h"
#include "winui/Resources.h"

namespace {

int Arg(int argc, char** argv, int i) { return i < argc ? std::atoi(argv[i]) : 0; }

std::unique_ptr<CameraPictureRecord> Record(int number)
{
    auto record = std::make_unique<CameraPictureRecord>();
    record->CameraType = kCameraCirra;
    record->PictureNumber = number;
    std::strcpy(record->PictureName, "PICT0001");
    return record;
}

// The main dialog with one extra step after its own start.
class HostMainDlg : public CMainDlg {
public:
    using CMainDlg::CMainDlg;
    std::string step;
    int count = 0;
    int stored = 0;

protected:
    bool OnInitDialog() override
    {
        const bool result = CMainDlg::OnInitDialog();
        if (step == "take-all" || step == "take-picked") {
            std::vector<std::unique_ptr<CameraPictureRecord>> received;
            for (int i = 0; i < count; ++i) received.push_back(Record(i + 1));
            if (step == "take-all")
                TakeAllCameraPictures(received);
            else
                TakePickedCameraPictures(received, stored);
        } else if (step == "take-disk") {
            std::vector<std::string> paths, infos;
            for (int i = 0; i < count; ++i) {
                paths.push_back("C:\\pictures\\P" + std::to_string(i) + ".HCR");
                infos.emplace_back();
            }
            TakePickedDiskFiles(paths, infos);
        }
        return result;
    }
};

int RunMain(int argc, char** argv)
{
    TransferSettings settings;
    LoadSettings(settings);
    for (int i = 0; i < Arg(argc, argv, 4); ++i) settings.CameraPictureList.push_back(Record(i + 1));
    for (int i = 0; i < Arg(argc, argv, 5); ++i) {
        settings.DiskFileList.push_back("C:\\pictures\\D" + std::to_string(i) + ".HCR");
        settings.DiskFileInfoList.emplace_back();
    }
    HostMainDlg dialog(settings, nullptr);
    dialog.SourceState = Arg(argc, argv, 2);
    dialog.CameraPictureCount = Arg(argc, argv, 3);
    dialog.DestinationText = settings.Destination;
    dialog.TemplateText = settings.Template;
    dialog.SourceFolderText = settings.DesktopName;
    dialog.DestinationFolderName = settings.DesktopName;
    dialog.CameraTypeText = winui::LoadText(CameraTypeTextId(settings.CameraType));
    (settings.IfUseCameraName ? dialog.UseExistingCheck : dialog.NameTemplateCheck) = 1;
    if (argc > 6) {
        dialog.step = argv[6];
        dialog.count = Arg(argc, argv, 7);
        dialog.stored = Arg(argc, argv, 8);
    }
    return static_cast<int>(dialog.DoModal());
}

int Run(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "error") {
        CErrorDlg dialog(Arg(argc, argv, 2), Arg(argc, argv, 3), Arg(argc, argv, 4), argc > 5 ? argv[5] : "");
        dialog.DoModal();
        return dialog.Answer;
    }
    if (command == "report") {
        PersistedSettings settings;
        return ReportPictureError(settings, Arg(argc, argv, 2), Arg(argc, argv, 3), argc > 4 ? argv[4] : "");
    }
    if (command == "welcome") {
        const bool startup = argc > 2 && std::strcmp(argv[2], "startup") == 0;
        return RunWelcomeScreen(startup, Arg(argc, argv, 3));
    }
    if (command == "connecting") {
        CConnectingDlg notice;
        if (!notice.Create()) return 1;
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return 0;
    }
    if (command == "main") return RunMain(argc, argv);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    HMODULE resources = LoadLibraryA("PIXRES.DLL");
    if (!resources) return 3;
    winui::SetResourceModule(resources);
    winui::SetErrorReporter(&ReportUnexpectedException);
    winui::Dialog::SetHelpHandler(&ShowHelp);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS | ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    return Run(argc, argv);
}
