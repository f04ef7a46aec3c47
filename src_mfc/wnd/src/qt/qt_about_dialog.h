// The about box: program name, version and copyright with the program icon.
#pragma once

#include <QDialog>

namespace orvan::wnd::qt {

class CAboutDlg final : public QDialog {
  public:
    explicit CAboutDlg(QWidget* parent);
};

}  // namespace orvan::wnd::qt
