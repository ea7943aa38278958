from ondrel_computer.mcp.serving import main

main()
