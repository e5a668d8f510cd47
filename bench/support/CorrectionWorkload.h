#pragma once

#include "dataset/DataSet.h"

// The correction benchmarks' workload: a 20-page manuscript essay with 50 marks a page.
namespace CorrectionWorkload {

constexpr int kLines = 590;  // (590 div 30) + 1 = 20 pages
constexpr int kPages = 20;
constexpr int kMarksPerPage = 50;

// A manuscript essay with a character in every cell and blanks in the margin.
DataSet Essay(const QString& studentNo = {});
// 50 marks of every kind on each page, a third with text, and a comment per page.
void FillCorrection(DataSet& correction);

}
