#pragma once

// The text of a field value in the Access preview's record list.
#include <afxdisp.h>

// "NULL" for empty and null; numbers, currency, dates, strings and Booleans as text; other types by their
// name ("VT_..."), "Fish" for a type number without one; arrays and references as "Array of " and
// "Pointer to " followed by the name of the element type.
CString VariantToText(const COleVariant& value);
