#pragma once

#include <QString>

// A failed update step as the user sees it. Failures the updater finds itself carry the domain
// "UpdateChecker", one of the codes below and a fixed English message; failures of the network or
// the file system keep their own domain and wording.
struct UpdateError {
    QString domain;
    int code = 0;
    QString message;

    static inline const QString kCheckerDomain = QStringLiteral("UpdateChecker");
    static inline const QString kNetworkDomain = QStringLiteral("Network");

    static UpdateError checker(int code, const QString& message) { return {kCheckerDomain, code, message}; }
    const QString& localizedDescription() const { return message; }
};

// The codes of the domain "UpdateChecker".
namespace updatecode {
inline constexpr int kBadAnswer = 0; // the release answer, or an archive address refused
inline constexpr int kDownloadFailed = 1;
inline constexpr int kExtractOpen = 2;   // the archive cannot be opened
inline constexpr int kExtractFailed = 3; // an entry is refused or cannot be written
inline constexpr int kNoInstallInArchive = 4;
inline constexpr int kNoExecutable = 5;
inline constexpr int kNoWritePermission = 6;
inline constexpr int kMoveOldFailed = 7;
inline constexpr int kPlaceNewFailed = 8;
inline constexpr int kVerificationFailed = 9; // identifier mismatch or a bad signature
inline constexpr int kChecksumMismatch = 15;
inline constexpr int kNoVerificationAsset = 16;
inline constexpr int kUntrustedVerificationAsset = 17;
inline constexpr int kUpdateInProgress = 18;
inline constexpr int kUnsavedEditors = 19;
} // namespace updatecode
