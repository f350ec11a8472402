kv_add_fuzzer(readpcdfiledibstream photocdfuzzer.cpp pcd)
