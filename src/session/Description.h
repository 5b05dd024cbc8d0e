// The words of the description box for each result, so that the dialog and
// the command line say the same thing. Lines end in \r\n, as the box shows
// them; an identification text comes as the reader sent it (Latin-1).
#pragma once

#include <string>

#include "reader/ReaderLink.h"
#include "session/ReaderSession.h"

namespace tavrin {

inline constexpr const char* kConnectedText = "Device Connected\r\n";
inline constexpr const char* kDownloadSuccessText = "DownLoad Successed";
inline constexpr const char* kDownloadFailureText = "DownLoad Failure.";
inline constexpr const char* kMifareKeyErrorText =
    "Mifare Key Error: enter 12 hex digits (0-9, A-F)";

std::string LastErrorText(int error);

// "Device Disconnected", and why a reader that was seen could not be opened.
std::string DisconnectedText(const ReaderSearchReport& search);

// Why a reader that was seen could not be opened (search.readerUnopenable).
std::string UnopenableReaderText(const ReaderSearchReport& search);

// The lines that follow the connected line: the reader's text and the
// families and card kinds it supports, or the error that ended the asking.
std::string IdentificationText(const Identification& found);

std::string ResetText(const ExchangeRecord& reset);

std::string DownloadText(const DownloadResult& result);

}  // namespace tavrin
