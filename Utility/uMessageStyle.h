// The style flags of a message box: its buttons in the low four bits, its icon in the next
// four. The error catalogue's categories and the dialogs' own messages choose them; each
// platform's message box shows what they ask for.
#pragma once

constexpr int TuStyleButtonsMask = 0x0F;
constexpr int TuStyleOk = 0x00;
constexpr int TuStyleOkCancel = 0x01;
constexpr int TuStyleAbortRetryIgnore = 0x02;
constexpr int TuStyleYesNoCancel = 0x03;
constexpr int TuStyleYesNo = 0x04;
constexpr int TuStyleRetryCancel = 0x05;

constexpr int TuStyleIconMask = 0xF0;
constexpr int TuStyleIconNone = 0x00;
constexpr int TuStyleIconError = 0x10;
constexpr int TuStyleIconQuestion = 0x20;
constexpr int TuStyleIconWarning = 0x30;
constexpr int TuStyleIconInformation = 0x40;
