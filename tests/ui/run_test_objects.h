#pragma once
// Runs several Qt Test classes from the one main of quillaro_ui_tests. Function names on
// the command line go to the class that has them; a class none of whose functions is
// named is left out when another class's functions are named.
#include <QByteArray>
#include <QMetaMethod>
#include <QObject>
#include <QtTest>
#include <vector>

namespace quillaro::testing {

inline bool namesTestOf(const QObject* test, const char* arg) {
  QByteArray name(arg);
  const qsizetype colon = name.indexOf(':');  // "function:datatag"
  if (colon >= 0) name.truncate(colon);
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
      if (namesTestOf(test, argv[i])) {
        namedHere = true;
        args.push_back(argv[i]);
        continue;
      }
      bool other = false;
      for (const QObject* t : tests) other = other || (t != test && namesTestOf(t, argv[i]));
      if (other)
        namedElsewhere = true;
      else
        args.push_back(argv[i]);
    }
    if (namedElsewhere && !namedHere) continue;
    failed += QTest::qExec(test, static_cast<int>(args.size()), args.data());
  }
  return failed;
}

}  // namespace quillaro::testing
