#pragma once

#include "core/download/downloadoutcome.h"
#include "core/download/printerreturn.h"
#include "core/download/settingssnapshot.h"
#include "window/app/mainwindow.h"

// What a download keeps from its checks before the stream for the report after it.
struct MainWindow::Pending {
    PrinterReturn::Printer printer;
    QString name;
    QString rowText;
    QString expectedVersion;
    download::Before before;
    download::Record record;
};

// How long the window waits for a printer to answer again after a download.
constexpr int kReturnWaitMs = 60000;
