// The one exception type the engine throws.
#pragma once

#include <exception>
#include <string>

class CKEMException : public std::exception {
public:
    CKEMException(const std::string& reason, const std::string& source, const char* file, int line);
    CKEMException(const CKEMException& other);
    CKEMException& operator=(const CKEMException& other);
    ~CKEMException() override;

    const char* what() const noexcept override;
    virtual std::string GetReason() const { return mReason; }
    virtual std::string GetSource() const { return mSource; }
    virtual std::string GetFile() const { return mFile; }
    virtual int GetLine() const { return mLine; }

private:
    mutable std::string mMessage;   // built on the first what() and kept
    std::string mReason;
    std::string mSource;
    std::string mFile;
    int mLine;
};

#define KEM_THROW(reason) throw CKEMException((reason), "", __FILE__, __LINE__)
#define KEM_THROW_SRC(reason, source) throw CKEMException((reason), (source), __FILE__, __LINE__)

// Guards programming errors only: shows "ASSERT failed ..." in a box titled
// "ASSERT" and stops the program. Input from users or files never reaches it.
[[noreturn]] void KEMAssertFailed(const char* file, int line);
#define KEM_ASSERT(cond) do { if (!(cond)) KEMAssertFailed(__FILE__, __LINE__); } while (0)
