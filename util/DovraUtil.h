// Support utilities: free functions for bracket notation, log files, line breaks, code pages,
// ASCII folding, column fitting, character filtering, tag scanning and byte packing.
#pragma once

#include "BracketNotation.h"
#include "Bytes.h"
#include "CodePage.h"
#include "DovraErrors.h"
#include "Launch.h"
#include "LineBreaks.h"
#include "LogFile.h"
#include "TagScan.h"
#include "TextFit.h"
