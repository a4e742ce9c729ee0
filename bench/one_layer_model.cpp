#include "bench/one_layer_model.h"

#include "bench/answer_sheet.h"

namespace bench {

OneLayerModel one_layer_model(std::int64_t rows, std::int64_t columns, std::int64_t drains) {
  OneLayerModel m;
  AnswerSheet basic;
  basic.line("One layer of many cells");
  basic.line("Benchmark of the check");
  for (std::int64_t v : {std::int64_t{1}, rows, columns, std::int64_t{1}, std::int64_t{4}}) basic.integer(v);
  // Block Centered Flow, Drains and SSOR; memory sharing, save heads.
  for (int answer : {1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1}) basic.integer(answer);
  basic.integer(0);
  basic.integer(1);  // every cell active
  basic.real("999");
  basic.integer(0);
  basic.real("100.5");  // starting heads
  basic.real("365");
  basic.integer(10);
  basic.real("1.2");
  m.morvek = basic.text();

  AnswerSheet flow;  // steady state, one unconfined layer
  for (int answer : {1, 0, 1}) flow.integer(answer);
  flow.integer(rows);
  flow.integer(columns);
  flow.integer(1);
  flow.real("1.0");
  for (const char* value : {"250", "250", "12.5", "50.25"}) {  // widths, conductivity, bottom
    flow.integer(0);
    flow.real(value);
  }
  m.cindral = flow.text();

  AnswerSheet drain;  // one period; drain d in row d % rows, a column of its own
  drain.integer(drains);
  drain.integer(0);
  drain.integer(1);
  drain.integer(drains);
  for (std::int64_t d = 0; d < drains; ++d) {
    drain.integer(1);
    drain.integer(d % rows + 1);
    drain.integer((d / rows) * 7919 % columns + 1);
    drain.real("75.5");
    drain.real("1.5");
  }
  m.quillet = drain.text();
  return m;
}

}  // namespace bench
