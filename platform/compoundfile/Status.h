#pragma once
// Status codes of the structured storage services (the Windows HRESULT values) with their
// Windows texts, and the platform-error exception that carries one.

#include "platform/core/Exception.h"

#include <cstdint>
#include <string>

namespace cfb {

using HRESULT = int32_t;

constexpr HRESULT Code(uint32_t value) { return static_cast<HRESULT>(value); }

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = Code(0x80004005);
constexpr HRESULT E_OUTOFMEMORY = Code(0x8007000E);
constexpr HRESULT STG_E_INVALIDFUNCTION = Code(0x80030001);
constexpr HRESULT STG_E_FILENOTFOUND = Code(0x80030002);
constexpr HRESULT STG_E_PATHNOTFOUND = Code(0x80030003);
constexpr HRESULT STG_E_TOOMANYOPENFILES = Code(0x80030004);
constexpr HRESULT STG_E_ACCESSDENIED = Code(0x80030005);
constexpr HRESULT STG_E_INVALIDHANDLE = Code(0x80030006);
constexpr HRESULT STG_E_INSUFFICIENTMEMORY = Code(0x80030008);
constexpr HRESULT STG_E_INVALIDPOINTER = Code(0x80030009);
constexpr HRESULT STG_E_WRITEFAULT = Code(0x8003001D);
constexpr HRESULT STG_E_READFAULT = Code(0x8003001E);
constexpr HRESULT STG_E_SHAREVIOLATION = Code(0x80030020);
constexpr HRESULT STG_E_LOCKVIOLATION = Code(0x80030021);
constexpr HRESULT STG_E_FILEALREADYEXISTS = Code(0x80030050);
constexpr HRESULT STG_E_INVALIDPARAMETER = Code(0x80030057);
constexpr HRESULT STG_E_MEDIUMFULL = Code(0x80030070);
constexpr HRESULT STG_E_INVALIDHEADER = Code(0x800300FB);
constexpr HRESULT STG_E_INVALIDNAME = Code(0x800300FC);
constexpr HRESULT STG_E_UNKNOWN = Code(0x800300FD);
constexpr HRESULT STG_E_UNIMPLEMENTEDFUNCTION = Code(0x800300FE);
constexpr HRESULT STG_E_INVALIDFLAG = Code(0x800300FF);
constexpr HRESULT STG_E_INUSE = Code(0x80030100);
constexpr HRESULT STG_E_REVERTED = Code(0x80030102);
constexpr HRESULT STG_E_DOCFILECORRUPT = Code(0x80030109);
constexpr HRESULT STG_E_DOCFILETOOLARGE = Code(0x80030111);

constexpr bool Failed(HRESULT hr) { return hr < 0; }

// The Windows text of a status code. "%1" in it stands for the file or element concerned;
// StatusMessage fills it in (with "The object" when subject is empty).
std::string StatusText(HRESULT hr);
std::string StatusMessage(HRESULT hr, const std::string &subject = {});

} // namespace cfb

// The platform error: a failure status of the storage services with its text.
class EPlatformError : public Exception {
public:
    explicit EPlatformError(cfb::HRESULT code, const std::string &subject = {})
        : Exception(cfb::StatusMessage(code, subject)), fErrorCode(code)
    {
    }
    cfb::HRESULT ErrorCode() const noexcept { return fErrorCode; }

private:
    cfb::HRESULT fErrorCode;
};
