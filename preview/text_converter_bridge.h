#pragma once

// "wordcnv": runs the Office text converters (".cnv" and ".wpc" DLLs that turn foreign documents into
// RTF and back) inside the program. The preview uses it for Word documents when Word itself is absent.
#include <string>

// The converter folder when WORDCNV_DIR is not set.
inline constexpr char kDefaultConverterFolder[] = "C:\\Program Files\\Common Files\\Microsoft Shared\\Textconv";

// Runs the bridge on its command line (argv[0] is the program name): -i class, -x class, input file and
// output file. 0 on success, 1 when the conversion fails, 2 for a wrong command line.
int WordCnvMain(int argc, const char* const* argv);

// Converts inputPath (read with importClass) into outputPath (written with exportClass).
int ConvertWithTextConverter(const char* pszImportClass, const char* pszExportClass, const char* pszInputPath,
                             const char* pszOutputPath);

// The diagnostic lines go to the standard error stream; while a capture is set they are appended to it too.
void SetConverterDiagnosticsCapture(std::string* pCapture);
