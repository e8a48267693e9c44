#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcDownload)
// The hex of every chunk streamed: the decrypted file. Off unless a logging rule names it.
Q_DECLARE_LOGGING_CATEGORY(lcDownloadData)
