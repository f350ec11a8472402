kv_add_fuzzer(dxf dxffuzzer.cpp dxf)
