// The file-type signature file (Raw.dat) and the signatures made from its records.
#include "engine/recovery/core/engine_state.h"
#include "engine/recovery/trace/signature_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const SignatureFileContents contents = ParseSignatureFile(data, size);
    for (const SignatureFileRecord& record : contents.records) {
        SignatureCompareLength(record);
        SignatureLastValue(record);
        AddSignatureFromRecord(record);
    }
    ResetEngineState();
    return 0;
}
