#pragma once

#include "Globals.h"

#include <QMainWindow>

class Modal;

// The editor's multiple-document frame.
class frmMain : public QMainWindow, public MainFrame
{
    Q_OBJECT

public:
    explicit frmMain(Modal &modal, QWidget *parent = nullptr);

    void SetStatusText(const QString &text) override;

private:
    Modal &m_modal;
};
