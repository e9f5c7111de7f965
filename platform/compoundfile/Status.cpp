#include "platform/compoundfile/Status.h"

#include <cstdio>

namespace cfb {

std::string StatusText(HRESULT hr)
{
    switch (static_cast<uint32_t>(hr)) {
    case 0x00000000: return "The operation completed successfully.";
    case 0x00000001: return "Incorrect function.";
    case 0x80004005: return "Unspecified error";
    case 0x8007000E: return "Not enough storage is available to complete this operation.";
    case 0x80030001: return "Unable to perform requested operation.";
    case 0x80030002: return "%1 could not be found.";
    case 0x80030003: return "The path %1 could not be found.";
    case 0x80030004: return "There are insufficient resources to open another file.";
    case 0x80030005: return "Access Denied.";
    case 0x80030006: return "Attempted an operation on an invalid object.";
    case 0x80030008: return "There is insufficient memory available to complete operation.";
    case 0x80030009: return "Invalid pointer error.";
    case 0x8003001D: return "A disk error occurred during a write operation.";
    case 0x8003001E: return "A disk error occurred during a read operation.";
    case 0x80030020: return "A share violation has occurred.";
    case 0x80030021: return "A lock violation has occurred.";
    case 0x80030050: return "%1 already exists.";
    case 0x80030057: return "Invalid parameter error.";
    case 0x80030070: return "There is insufficient disk space to complete operation.";
    case 0x800300FB: return "The file %1 is not a valid compound file.";
    case 0x800300FC: return "The name %1 is not valid.";
    case 0x800300FD: return "An unexpected error occurred.";
    case 0x800300FE: return "That function is not implemented.";
    case 0x800300FF: return "Invalid flag error.";
    case 0x80030100: return "Attempted to use an object that is busy.";
    case 0x80030102: return "Attempted to use an object that has ceased to exist.";
    case 0x80030109: return "The docfile has been corrupted.";
    case 0x80030111: return "The compound file is too large for the current implementation";
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "Unknown error 0x%08X", static_cast<unsigned>(hr));
    return buf;
}

std::string StatusMessage(HRESULT hr, const std::string &subject)
{
    std::string text = StatusText(hr);
    size_t at = text.find("%1");
    if (at == std::string::npos)
        return text;
    if (subject.empty())
        return text.replace(at, 2, at == 0 ? "The object" : "the object");
    return text.replace(at, 2, subject);
}

} // namespace cfb
