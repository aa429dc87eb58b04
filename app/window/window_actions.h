#pragma once
// Every command the main window offers, as the action its menus, toolbars and keys share.
// TCindralFrm::createActions (cindral_frm_actions.cpp) builds them all, puts them in the menus
// and the toolbars, and ties each to its command.

class QAction;

namespace cindral::app {

struct WindowActions {
    // File
    QAction* Open1 = nullptr;
    QAction* SaveAs1 = nullptr;
    QAction* Reload1 = nullptr;
    QAction* Properties1 = nullptr;
    QAction* PrinterPageSetup1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* PrintPreview1 = nullptr;
    // The Export submenu of the window's design, kept hidden; the visible File > Export
    // submenu offers the same exports.
    QAction* WMF1 = nullptr;
    QAction* BMP1 = nullptr;
    QAction* JPEG1 = nullptr;
    QAction* HTMLTable1 = nullptr;
    QAction* WholeLogAsMetafile1 = nullptr;
    QAction* PageAsBMP1 = nullptr;
    QAction* PageAsJPEG1 = nullptr;
    QAction* WholeLogAsHTML1 = nullptr;
    QAction* SystemFiles1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* Quit1 = nullptr;
    // Edit
    QAction* Copy1 = nullptr;
    QAction* CopyDepth1 = nullptr;
    QAction* Find1 = nullptr;
    QAction* FindNext1 = nullptr;
    QAction* FindPrevious1 = nullptr;
    QAction* FindClose1 = nullptr;
    // View: pages, interval, zoom, continuous view, thumbnails, magnifier
    QAction* PageDown1 = nullptr;
    QAction* PageUp1 = nullptr;
    QAction* FirstPage1 = nullptr;
    QAction* LastPage1 = nullptr;
    QAction* Gotopage1 = nullptr;
    QAction* GotoDepth1 = nullptr;
    QAction* CustomPageBreaks1 = nullptr;
    QAction* SelectInterval1 = nullptr;
    QAction* ZoomIn1 = nullptr;
    QAction* ZoomOut1 = nullptr;
    QAction* ActualSize1 = nullptr;
    QAction* FitWidth1 = nullptr;
    QAction* FitPage1 = nullptr;
    QAction* Continuous1 = nullptr;
    QAction* DepthsAsPrinted1 = nullptr;
    QAction* FullScreen1 = nullptr;
    QAction* Thumbnails1 = nullptr;
    QAction* Magnify1 = nullptr;
    QAction* MagnifierBtn = nullptr;
    // Help
    QAction* Contents1 = nullptr;
    QAction* Index1 = nullptr;
    QAction* AboutCindral1 = nullptr;
};

}  // namespace cindral::app
