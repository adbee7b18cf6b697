#pragma once
// Runs several Qt Test classes from the one main of quillaro_ui_tests. Function names on
// the command line go to the class that has them; a class none of whose functions is
// named is left out when another class's functions are named.
#include <QMetaMethod>
#include <QtTest>
#include <vector>

namespace quillaro::testing {

inline bool namesTestOf(const QObject* test, const char* arg) {
  const QByteArray name = QByteArray(arg).split(':').front();  // "function:datatag"
  const QMetaObject* m = test->metaObject();
  for (int i = m->methodOffset(); i < m->methodCount(); ++i)
    if (m->method(i).methodType() == QMetaMethod::Slot && m->method(i).name() == name) return true;
  return false;
}

// The number of failed functions over all classes (0 when everything passed).
inline int runTestObjects(const std::vector<QObject*>& tests, int argc, char** argv) {
  int failed = 0;
  for (QObject* test : tests) {
    std::vector<char*> args{argv[0]};
    bool namedElsewhere = false, namedHere = false;
    for (int i = 1; i < argc; ++i) {
      const bool here = namesTestOf(test, argv[i]);
      bool other = false;
      for (const QObject* t : tests) other = other || (t != test && namesTestOf(t, argv[i]));
      namedHere = namedHere || here;
      namedElsewhere = namedElsewhere || (other && !here);
      if (here || !other) args.push_back(argv[i]);
    }
    if (!namedElsewhere || namedHere) failed += QTest::qExec(test, static_cast<int>(args.size()), args.data());
  }
  return failed;
}

}  // namespace quillaro::testing
