#include "KEMException.h"

#include <Platform.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

CKEMException::CKEMException(const std::string& reason, const std::string& source, const char* file, int line)
    : mReason(reason), mSource(source), mFile(file ? file : ""), mLine(line) {}

CKEMException::CKEMException(const CKEMException& other)
    : std::exception(other), mReason(other.mReason), mSource(other.mSource), mFile(other.mFile), mLine(other.mLine) {}

CKEMException& CKEMException::operator=(const CKEMException& other) {
    if (this != &other) {
        mMessage.clear();
        mReason = other.mReason;
        mSource = other.mSource;
        mFile = other.mFile;
        mLine = other.mLine;
    }
    return *this;
}

CKEMException::~CKEMException() = default;

const char* CKEMException::what() const noexcept {
    if (mMessage.empty()) {
        std::ostringstream out;
        out << "KEM Exception" << std::endl;
        if (!mFile.empty()) {
            out << "FILE: " << mFile << std::endl;
            if (mLine >= 0)
                out << "LINE: " << mLine << std::endl;
        }
        out << "SOURCE: " << mSource << std::endl;
        out << "REASON: " << mReason << std::endl;
        mMessage = out.str();
    }
    return mMessage.c_str();
}

void KEMAssertFailed(const char* file, int line) {
    char text[1024];
    PlatFormat(text, sizeof(text), "ASSERT failed \nin file: %s \nat line: %d", file ? file : "", line);
    PlatMessageBox("ASSERT", text);
    std::abort();
}
