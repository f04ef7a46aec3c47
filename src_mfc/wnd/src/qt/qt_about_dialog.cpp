#include "qt_about_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "qt_resources.h"
#include "resource_ids.h"

namespace orvan::wnd::qt {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromWCharArray(orvan::res::kAboutCaption));
    setModal(true);
    auto* icon = new QLabel(this);
    icon->setPixmap(AppIcon().pixmap(32, 32));
    auto* buttons = new QDialogButtonBox(this);
    auto* ok =
        buttons->addButton(QString::fromWCharArray(orvan::res::kAboutOkButton), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(new QLabel(QString::fromWCharArray(orvan::res::kAboutVersionLine), this), 0, 1);
    layout->addWidget(new QLabel(QString::fromWCharArray(orvan::res::kAboutCopyrightLine), this), 1, 1);
    layout->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
    setFixedSize(sizeHint());
}

}  // namespace orvan::wnd::qt
