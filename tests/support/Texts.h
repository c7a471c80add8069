// The texts the program shows, as the driver reads them back: UTF-16, exact to the character
// (ideographic spaces, full-width colons and half-width katakana included).
#pragma once

#include <windows.h>

#include <string>

namespace support::text {

inline const std::wstring mainTitle = L"QZハルモカLuneファームウェア更新";
inline const std::wstring aboutTitle = L"Kelvoのﾊﾞｰｼﾞｮﾝ情報";

inline const std::wstring connected = L"ハルモカと接続しました.\r\n";
inline const std::wstring connectFailed = L"ハルモカとの接続に失敗しました.\r\n";
inline std::wstring serialLine(const std::wstring& digits) {
    return L"シリアル番号　　　：" + digits + L"\r\n";
}
inline std::wstring revisionLine(const std::wstring& revision) {
    return L"ファームウェア　　：" + revision + L"\r\n";
}
inline std::wstring newRevisionLine(const std::wstring& revision) {
    return L"更新ファームウェア：" + revision + L"\r\n";
}
inline const std::wstring cannotOpenFile = L"ファームウェアファイルが開けません.\r\n";
inline const std::wstring incompatible = L"このファームウェアに更新することは出来ません.\r\n";

inline const std::wstring sending = L"ファームウェアを送信しています.\r\n";
inline const std::wstring verifying = L"ファームウェアの検証中です.\r\n";
inline const std::wstring updating = L"ファームウェアの更新中です.\r\n";
inline const std::wstring succeeded = L"ファームウェアの更新に成功しました.\r\n";
inline const std::wstring failed = L"ファームウェアの更新に失敗しました.\r\n";

// The simulated device of the default scenario: serial word 0x00123456, revision 1.0a.
inline const std::wstring deviceLines =
    connected + serialLine(L"00123456") + revisionLine(L"Rev.1.0a");

// lune-1.3a.dat of scripts/make-firmware.py --samples: revision 1.3a, two lines of notes
// stored with LF line ends, which the log shows with CR LF.
inline const std::wstring sampleLines = newRevisionLine(L"Rev.1.3a") +
                                        L"接続の安定性を改善しました.\r\n"
                                        L"更新時間を短縮しました.\r\n";

// A line as the program writes it (code page 932, as ErrorTexts.h and DeviceFaults.h
// build them), read back.
inline std::wstring fromCodePage932(const std::string& line) {
    std::wstring wide(line.size(), L'\0');
    wide.resize(
        static_cast<size_t>(MultiByteToWideChar(932, 0, line.data(), static_cast<int>(line.size()),
                                                &wide[0], static_cast<int>(wide.size()))));
    return wide;
}

} // namespace support::text
