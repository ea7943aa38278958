from ondrel_computer.mcp.serving import main

if __name__ == "__main__":
    main()
