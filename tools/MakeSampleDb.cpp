// make_sample_db OUT.mdf: writes the sample database, a small SQL Server 2012 data file
// with two tables, their primary keys, a view and a procedure.

#include <exception>
#include <iostream>

#include "tools/SampleDatabase.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_sample_db OUT.mdf\n";
    return 2;
  }
  try {
    orodorev::sample::writeSampleDatabase(argv[1]);
  } catch (const std::exception& error) {
    std::cerr << "make_sample_db: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
