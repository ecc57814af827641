#include "gridpack/basegrid/sgcheck.h"

QString ROroRoravaZuzoZovor::MarkError(int, int, const QString& s) { return s; }
QString ROroRoravaZuzoZovor::Correct(int, int, const QString& s) { return s; }
void ROroRoravaZuzoZovor::StartCheck() {}
void ROroRoravaZuzoZovor::StopCheck() {}
