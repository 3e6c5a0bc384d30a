// Tables out to an Excel workbook (one sheet per table) or to CSV files (one per table).
#pragma once

#include <string>
#include <vector>

#include "export/ResultTables.h"

class CExportProgress;

// Writes the tables into one .xlsx workbook: bold headed columns, the first row frozen,
// numbers as numbers. The file replaces one at path only when complete. False after the
// message when the file cannot be written, or without one when the progress reports a stop.
bool WriteWorkbook(const std::vector<CTable>& tables, const std::string& path,
                   CExportProgress* progress = nullptr);

// Writes one CSV file per table into the folder (created when missing), named after the
// sheet, UTF-8 with a BOM so that spreadsheet programs read the Chinese heads; numbers in
// the shortest form that reads back to the same double. False after the message.
bool WriteCsvFiles(const std::vector<CTable>& tables, const std::string& folder);

// The CSV line of one row: fields separated by commas, quoted where they must be.
std::string CsvLine(const std::vector<std::string>& fields);
// The shortest text that reads back to the same double ("nan", "inf" when not finite).
std::string ShortestNumber(double v);
